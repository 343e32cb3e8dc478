// Writing a file so that readers only ever see a whole one: the contents go
// to a temporary file beside the target, which then takes the target's name.
#pragma once

#include <string>
#include <string_view>

namespace vantor::files {

// Creates the directory and any missing parent; an existing directory is not
// an error (an existing file of that name is). Throws FileError.
void make_directories(const std::string& path);

// Writes the contents and renames them over path: a failed write leaves
// whatever stood at path untouched, and no temporary file behind. Throws
// FileError.
void replace_file(const std::string& path, std::string_view contents);

// "<directory>/<name>" as Python's os.path.join puts it: no separator is
// added after an empty directory or one that ends in "/".
std::string joined(std::string_view directory, std::string_view name);

// The name with "-<number>" before its extension, from 2 on: "a.json",
// "a-2.json", "a-3.json", ...
std::string numbered(std::string_view name, int number);

// Writes the contents as a new file in the directory under the first free
// one of numbered(name, 1, 2, ...), never replacing a file: the name is
// claimed by a hard link to the complete temporary file, or, where the file
// system has no hard links, by creating it exclusively before the rename.
// Returns the path written. Throws FileError, leaving no temporary file.
std::string write_new_file(const std::string& directory, std::string_view name, std::string_view contents);

}  // namespace vantor::files
