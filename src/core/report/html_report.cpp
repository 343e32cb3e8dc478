#include "report/html_report.hpp"

#include <algorithm>

namespace vantor::report {
namespace {

constexpr std::string_view pass_colour = "#2da44e", fail_colour = "#cf222e";
constexpr std::string_view pass_background = "#f6fff9", fail_background = "#fff6f6";

constexpr std::string_view head_before_title =
    "<!DOCTYPE html>\n"
    "<html lang=\"en\">\n"
    "<head>\n"
    "  <meta charset=\"UTF-8\">\n"
    "  <title>Test Report \u2014 ";

constexpr std::string_view head_after_title =
    "</title>\n"
    "  <style>\n"
    "    body { font-family: -apple-system, sans-serif; margin: 40px; color: #1f2328; }\n"
    "    h1   { font-size: 1.4em; }\n"
    "    .summary { display: flex; gap: 24px; margin: 16px 0 24px; }\n"
    "    .badge { padding: 8px 18px; border-radius: 6px; font-weight: bold; font-size: 1.1em; }\n"
    "    .pass  { background: #dafbe1; color: #1a7f37; }\n"
    "    .fail  { background: #ffebe9; color: #cf222e; }\n"
    "    .total { background: #f0f0f0; color: #333; }\n"
    "    table  { border-collapse: collapse; width: 100%; font-size: 0.9em; }\n"
    "    th     { background: #f6f8fa; text-align: left; padding: 8px 12px; border-bottom: 2px solid #d0d7de; }\n"
    "    td     { padding: 8px 12px; border-bottom: 1px solid #d0d7de; }\n"
    "    code   { background: #f6f8fa; padding: 2px 6px; border-radius: 4px; font-size: 0.85em; }\n"
    "  </style>\n"
    "</head>\n"
    "<body>\n"
    "  <h1>Test Report</h1>\n"
    "  <p style=\"color:#666\">";

constexpr std::string_view table_head =
    "  </div>\n"
    "  <table>\n"
    "    <thead>\n"
    "      <tr><th>#</th><th>Instruction</th><th>Status</th><th>Detail</th></tr>\n"
    "    </thead>\n"
    "    <tbody>\n"
    "      ";

constexpr std::string_view page_end =
    "\n"
    "    </tbody>\n"
    "  </table>\n"
    "</body>\n"
    "</html>";

bool is_pass(const ReportRow& row) { return row.status == "PASS"; }

void append_row(std::string& out, std::size_t number, const ReportRow& row) {
  const bool passed = is_pass(row);
  out += "\n            <tr style=\"background:";
  out += passed ? pass_background : fail_background;
  out += "\">\n                <td>";
  out += std::to_string(number);
  out += "</td>\n                <td><code>";
  append_html_escaped(out, row.instruction);
  out += "</code></td>\n                <td style=\"color:";
  out += passed ? pass_colour : fail_colour;
  out += ";font-weight:bold\">";
  append_html_escaped(out, row.status);
  out += "</td>\n                <td>";
  append_html_escaped(out, row.detail);
  out += "</td>\n            </tr>";
}

}  // namespace

void append_html_escaped(std::string& out, std::string_view text) {
  std::size_t plain = 0;  // start of the run not yet copied
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::string_view reference;
    switch (text[i]) {
      case '&':
        reference = "&amp;";
        break;
      case '<':
        reference = "&lt;";
        break;
      case '>':
        reference = "&gt;";
        break;
      case '"':
        reference = "&quot;";
        break;
      case '\'':
        reference = "&#x27;";
        break;
      default:
        continue;
    }
    out.append(text, plain, i - plain);
    out += reference;
    plain = i + 1;
  }
  out.append(text, plain);
}

std::string html_page(std::string_view started_at, std::span<const ReportRow> rows) {
  const std::size_t total = rows.size();
  const auto passed = static_cast<std::size_t>(std::count_if(rows.begin(), rows.end(), is_pass));

  std::string page;
  page.reserve(2048 + rows.size() * 320);
  page += head_before_title;
  append_html_escaped(page, started_at);
  page += head_after_title;
  append_html_escaped(page, started_at);
  page += "</p>\n  <div class=\"summary\">\n    <span class=\"badge total\">Total: ";
  page += std::to_string(total);
  page += "</span>\n    <span class=\"badge pass\">Passed: ";
  page += std::to_string(passed);
  page += "</span>\n    <span class=\"badge fail\">Failed: ";
  page += std::to_string(total - passed);
  page += "</span>\n";
  page += table_head;
  for (std::size_t i = 0; i < rows.size(); ++i) append_row(page, i + 1, rows[i]);
  page += page_end;
  return page;
}

std::string report_written_line() { return "  HTML report \u2192 " + std::string(report_path); }

}  // namespace vantor::report
