// The JSON snapshot of one scan: the page URL, the element descriptors and
// the text element descriptors, written for people debugging a run.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "values/value.hpp"

namespace vantor::scan {

// The URL as a file-name part: "://" and then every "/" become "_", cut to
// its first 60 characters; everything else stays.
std::string url_slug(std::string_view url);

// "%Y%m%d_%H%M%S" of the local time at `when`, "_", the URL's slug, ".json".
std::string snapshot_file_name(std::string_view url, std::time_t when);

// {"url": url, "elements": [...], "text_elements": [...]} indented by two
// spaces, pure ASCII (\uXXXX escapes), no final line break: the layout of
// Python's json.dumps(..., indent=2, ensure_ascii=True). A list or record
// that holds itself cannot be written (ValueError).
std::string snapshot_json(const values::Value& url, const values::Value& elements, const values::Value& text_elements);

// One value in that layout, nested `depth` levels deep.
void append_json(std::string& out, const values::Value& value, std::size_t depth = 0);

}  // namespace vantor::scan
