// The run's HTML report: one self-contained page with the start time, three
// badges with the totals and one table row per outcome record.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vantor::report {

inline constexpr std::string_view report_directory = "data/reports";
inline constexpr std::string_view report_path = "data/reports/report.html";

// What the page shows of one outcome record.
struct ReportRow {
  std::string_view status;  // "PASS" is a pass; any other status a failure
  std::string_view instruction;
  std::string_view detail;  // reasons, extracted text or element text; may be empty
};

// Text made safe to stand in HTML text and attribute values: & < > " ' become
// character references, exactly as Python's html.escape writes them.
void append_html_escaped(std::string& out, std::string_view text);

// The page, every inserted value escaped. No line break after the last line.
std::string html_page(std::string_view started_at, std::span<const ReportRow> rows);

// "  HTML report → data/reports/report.html"
std::string report_written_line();

}  // namespace vantor::report
