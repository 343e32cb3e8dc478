// Writing a file so that readers only ever see a whole one.
#pragma once

#include <string>
#include <string_view>

namespace vantor::report {

// Creates the directory and any missing parent; an existing directory is not
// an error (an existing file of that name is). Throws FileError.
void make_directories(const std::string& path);

// Writes the contents to a new file next to path and renames it over path:
// a failed write leaves whatever stood at path untouched, and no temporary
// file behind. Throws FileError.
void replace_file(const std::string& path, std::string_view contents);

}  // namespace vantor::report
