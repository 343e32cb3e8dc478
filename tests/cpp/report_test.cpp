// The report core: two-decimal confidences, the outcome lines, the summary
// block and the HTML page.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "errors.hpp"
#include "report/clock.hpp"
#include "report/html_report.hpp"
#include "report/outcome_log.hpp"
#include "report/run_summary.hpp"
#include "report/two_decimals.hpp"
#include "text/utf8.hpp"

namespace vr = vantor::report;

namespace {

// --- two decimals -------------------------------------------------------------

TEST(TwoDecimals, RoundsTheExactBinaryValueTiesToEven) {
  EXPECT_EQ(vr::two_decimals(0.0), "0.00");
  EXPECT_EQ(vr::two_decimals(0.5), "0.50");
  EXPECT_EQ(vr::two_decimals(0.876), "0.88");
  EXPECT_EQ(vr::two_decimals(0.125), "0.12");  // an exact tie: even digit
  EXPECT_EQ(vr::two_decimals(0.375), "0.38");  // an exact tie: even digit
  EXPECT_EQ(vr::two_decimals(2.675), "2.67");  // stored just below the tie
  EXPECT_EQ(vr::two_decimals(-0.0), "-0.00");
  EXPECT_EQ(vr::two_decimals(-0.004), "-0.00");
  EXPECT_EQ(vr::two_decimals(1e22), "10000000000000000000000.00");
}

TEST(TwoDecimals, SpecialValuesAsPythonWritesThem) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(vr::two_decimals(inf), "inf");
  EXPECT_EQ(vr::two_decimals(-inf), "-inf");
  EXPECT_EQ(vr::two_decimals(std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(vr::two_decimals(-std::numeric_limits<double>::quiet_NaN()), "nan");
  EXPECT_EQ(vr::two_decimals(std::numeric_limits<double>::max()).size(), 309u + 3u);
}

// --- outcome log ----------------------------------------------------------------

// The candidates of each result, read through the callback the way the
// binding reads them: counting how often each is asked for.
struct CandidateReads {
  std::vector<std::optional<vr::Candidate>> firsts;
  std::vector<std::size_t> asked;
  vr::FirstCandidate reader() {
    return [this](std::size_t i) {
      asked.push_back(i);
      return firsts[i];
    };
  }
};

TEST(OutcomeLog, ReasonsAndTheFirstCandidateOfTheFirstResultThatHasOne) {
  const std::vector<vr::StrategyResult> results{{"DOM", 0.4}, {"Spatial", 0.666}, {"Florence", 1.0}};
  CandidateReads reads{{std::nullopt, vr::Candidate{"button", "Sign up"}, vr::Candidate{"a", "later"}}, {}};
  const vr::FailureDetails d = vr::describe_failure(results, reads.reader());
  EXPECT_EQ(d.reasons, "DOM confidence=0.40 | Spatial confidence=0.67 | Florence confidence=1.00");
  EXPECT_EQ(d.top_candidate, "<button> text='Sign up'");
  // The third result's candidates are never read: a bad one there must not fail the log.
  EXPECT_EQ(reads.asked, (std::vector<std::size_t>{0, 1}));
}

TEST(OutcomeLog, CandidateTextIsCutToThirtyCharactersBeforeQuoting) {
  const std::string long_text = "it's " + std::string(40, 'x');
  const std::vector<vr::StrategyResult> results{{"DOM", 0.0}};
  CandidateReads reads{{vr::Candidate{"td", long_text}}, {}};
  EXPECT_EQ(vr::describe_failure(results, reads.reader()).top_candidate,
            "<td> text=\"it's " + std::string(25, 'x') + "\"");
}

TEST(OutcomeLog, NoResultsGiveNothing) {
  const vr::FailureDetails d = vr::describe_failure({}, [](std::size_t) { return std::optional<vr::Candidate>(); });
  EXPECT_EQ(d.reasons, "");
  EXPECT_EQ(d.top_candidate, "");
  EXPECT_EQ(vr::failure_lines("click X", d), std::vector<std::string>{"  [FAIL] click X"});
}

TEST(OutcomeLog, Lines) {
  EXPECT_EQ(vr::success_line("click Go", "DOM"), "  [PASS] click Go  (via DOM)");
  EXPECT_EQ(vr::failure_lines("click Go", {"DOM confidence=0.00", "<a> text='Go'"}),
            (std::vector<std::string>{"  [FAIL] click Go", "         reasons : DOM confidence=0.00",
                                      "         closest : <a> text='Go'"}));
  EXPECT_EQ(vr::verification_lines(false, "verify X", ""), std::vector<std::string>{"  [FAIL] verify X"});
  EXPECT_EQ(vr::verification_lines(true, "verify X", "{'visible': True}"),
            (std::vector<std::string>{"  [PASS] verify X", "         state : {'visible': True}"}));
}

TEST(Utf8, FirstCharactersAndCountsGoByCodePoint) {
  const std::string s =
      "\xC3\xA9\xF0\x9F\x98\x80"
      "ab\xED\xA0\x80";  // é 😀 a b, a lone surrogate
  EXPECT_EQ(vantor::text::character_count(s), 5u);
  EXPECT_EQ(vantor::text::first_characters(s, 2), "\xC3\xA9\xF0\x9F\x98\x80");
  EXPECT_EQ(vantor::text::first_characters(s, 99), s);
  EXPECT_EQ(vantor::text::first_characters(s, 0), "");
  EXPECT_TRUE(vantor::text::has_surrogate(s));
  EXPECT_FALSE(vantor::text::has_surrogate("\xED\x9F\xBF"));  // U+D7FF, just below the surrogates
}

// --- summary ----------------------------------------------------------------------

TEST(RunSummary, CountsBreakdownAndFailures) {
  // The fourth record is neither "PASS" nor "FAIL" (a runner's "SKIP"): it counts as not passed, but only
  // failures are listed.
  const std::vector<vr::SummaryRecord> records{
      {true, false, "b-strategy", "", ""},         {false, true, std::nullopt, "click Ghost", "DOM confidence=0.00"},
      {true, false, std::nullopt, "", ""},         {false, false, std::nullopt, "", ""},
      {true, false, "B-strategy", "", ""},         {true, false, "b-strategy", "", ""},
      {false, true, std::nullopt, "verify Y", ""},
  };
  const std::string rule(60, '=');
  EXPECT_EQ(vr::summary_lines("2024-05-01 09:03:07", records),
            (std::vector<std::string>{"", rule, "  TEST RUN SUMMARY  \u2014  2024-05-01 09:03:07", rule,
                                      "  Total        : 7", "  Passed       : 4", "  Failed       : 3", "",
                                      "  Strategy breakdown (passes only):", "    B-strategy           1",
                                      "    b-strategy           2", "    unknown              1", "",
                                      "  Failed instructions:", "    \u2717  click Ghost", "       DOM confidence=0.00",
                                      "    \u2717  verify Y", "", rule}));
}

TEST(RunSummary, NamesAtOrPastTheColumnStandWhole) {
  const std::string twenty(20, 'n'), twenty_five(25, 'm');
  const std::vector<vr::SummaryRecord> records{{true, false, twenty, "", ""}, {true, false, twenty_five, "", ""}};
  const auto lines = vr::summary_lines("t", records);
  EXPECT_EQ(lines[9], "    " + twenty_five + " 1");
  EXPECT_EQ(lines[10], "    " + twenty + " 1");
}

// --- HTML -------------------------------------------------------------------------

TEST(HtmlReport, EscapesAsHtmlEscapeDoes) {
  std::string out;
  vr::append_html_escaped(out, "a&b<c>d\"e'f \xE2\x9C\x93 &amp;");
  EXPECT_EQ(out, "a&amp;b&lt;c&gt;d&quot;e&#x27;f \xE2\x9C\x93 &amp;amp;");
}

TEST(HtmlReport, RowsBadgesAndColours) {
  const std::vector<vr::ReportRow> rows{{"PASS", "click <b>", "Login"}, {"SKIPPED", "wait", ""}};
  const std::string page = vr::html_page("now", rows);
  EXPECT_NE(page.find("Total: 2</span>"), std::string::npos);
  EXPECT_NE(page.find("Passed: 1</span>"), std::string::npos);
  EXPECT_NE(page.find("Failed: 1</span>"), std::string::npos);
  EXPECT_NE(
      page.find("<tbody>\n      \n            <tr style=\"background:#f6fff9\">\n                <td>1</td>\n"
                "                <td><code>click &lt;b&gt;</code></td>\n"
                "                <td style=\"color:#2da44e;font-weight:bold\">PASS</td>\n"
                "                <td>Login</td>\n            </tr>\n            <tr style=\"background:#fff6f6\">"),
      std::string::npos);
  EXPECT_NE(page.find("<td style=\"color:#cf222e;font-weight:bold\">SKIPPED</td>"), std::string::npos);
  EXPECT_TRUE(page.ends_with("            </tr>\n    </tbody>\n  </table>\n</body>\n</html>"));
}

TEST(HtmlReport, EmptyBodyIsSixSpaces) {
  const std::string page = vr::html_page("now", {});
  EXPECT_NE(page.find("    <tbody>\n      \n    </tbody>\n"), std::string::npos);
  EXPECT_EQ(vr::report_written_line(), "  HTML report \u2192 data/reports/report.html");
}

// --- clock --------------------------------------------------------------------------

TEST(Clock, FormatsLocalTime) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "UTC0", 1);
  ::tzset();
  EXPECT_EQ(vr::local_time_text(1714554187), "2024-05-01 09:03:07");
  ::setenv("TZ", "XST-2", 1);  // two hours east of UTC
  ::tzset();
  EXPECT_EQ(vr::local_time_text(1714554187), "2024-05-01 11:03:07");
  if (old) {
    ::setenv("TZ", saved.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

}  // namespace
