#include "scan/text_account.hpp"

#include <algorithm>
#include <numeric>

#include "text/whitespace.hpp"

namespace vantor::scan {
namespace {

// Texts at least this long get a suffix array: a page-wide wrapper holds
// the text of thousands of elements, and searching it from the start for each
// of them would take time quadratic in the page.
constexpr std::size_t indexed_length = 4096;

// The suffixes of `text` in byte order, by prefix doubling with counting
// sorts: n log n.
std::vector<std::uint32_t> suffix_array(std::string_view text) {
  const std::size_t n = text.size();
  std::vector<std::uint32_t> order(n), rank(n), next_rank(n), by_second(n);
  for (std::size_t i = 0; i < n; ++i) rank[i] = static_cast<unsigned char>(text[i]);
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return rank[a] < rank[b]; });
  std::vector<std::uint32_t> count;
  for (std::size_t step = 1;; step *= 2) {
    // Suffixes ordered by their rank `step` bytes on (none sorts first), then
    // stably by their own rank.
    std::size_t filled = 0;
    for (std::size_t i = n - std::min(step, n); i < n; ++i) by_second[filled++] = static_cast<std::uint32_t>(i);
    for (std::uint32_t suffix : order)
      if (suffix >= step) by_second[filled++] = static_cast<std::uint32_t>(suffix - step);
    const std::uint32_t ranks = *std::max_element(rank.begin(), rank.end()) + 1;
    count.assign(ranks + 1, 0);
    for (std::uint32_t r : rank) ++count[r + 1];
    for (std::size_t r = 0; r < ranks; ++r) count[r + 1] += count[r];
    for (std::uint32_t suffix : by_second) order[count[rank[suffix]]++] = suffix;
    auto second = [&](std::uint32_t s) { return s + step < n ? rank[s + step] + 1 : 0u; };
    next_rank[order[0]] = 0;
    for (std::size_t i = 1; i < n; ++i) {
      const std::uint32_t a = order[i - 1], b = order[i];
      next_rank[b] = next_rank[a] + (rank[a] != rank[b] || second(a) != second(b) ? 1 : 0);
    }
    rank.swap(next_rank);
    if (rank[order[n - 1]] == n - 1) break;  // every suffix has its own rank
  }
  return order;
}

}  // namespace

TextAccount::TextAccount(std::string text)
    : text_(std::move(text)), space_(text_.size(), false), taken_(text_.size(), false) {
  for (std::size_t at = 0; at < text_.size();) {
    const std::size_t length = text::space_length_at(text_, at);
    if (length > 0) {
      std::fill_n(space_.begin() + static_cast<std::ptrdiff_t>(at), length, true);
      at += length;
    } else {
      ++untaken_non_space_;
      ++at;
    }
  }
  if (text_.size() >= indexed_length) suffixes_ = suffix_array(text_);
}

const std::vector<std::uint32_t>& TextAccount::places_of(std::string_view part) {
  auto [entry, added] = places_.try_emplace(part);
  if (added) {
    const std::string_view text = text_;
    auto prefix = [&](std::uint32_t suffix) { return text.substr(suffix, part.size()); };
    const auto first = std::lower_bound(suffixes_.begin(), suffixes_.end(), part,
                                        [&](std::uint32_t suffix, std::string_view p) { return prefix(suffix) < p; });
    const auto last = std::upper_bound(first, suffixes_.end(), part,
                                       [&](std::string_view p, std::uint32_t suffix) { return p < prefix(suffix); });
    entry->second.at.assign(first, last);
    std::sort(entry->second.at.begin(), entry->second.at.end());
  }
  return entry->second.at;
}

bool TextAccount::untaken(std::size_t at, std::size_t length) const {
  for (std::size_t i = at; i < at + length; ++i)
    if (taken_[i]) return false;
  return true;
}

bool TextAccount::contains(std::string_view part) {
  if (suffixes_.empty() || part.empty()) return text_.find(part) != std::string::npos;
  return !places_of(part).empty();
}

void TextAccount::take_out(std::string_view part) {
  if (part.empty()) return;  // the empty text takes nothing
  std::size_t at = std::string::npos;
  if (suffixes_.empty()) {
    std::size_t& from = resume_[part];
    for (at = text_.find(part, from); at != std::string::npos && !untaken(at, part.size());)
      at = text_.find(part, at + 1);
    from = at == std::string::npos ? text_.size() : at;
  } else {
    const std::vector<std::uint32_t>& places = places_of(part);
    std::size_t& next = places_.find(part)->second.next;
    while (next < places.size() && !untaken(places[next], part.size())) ++next;
    if (next < places.size()) at = places[next];
  }
  if (at == std::string::npos) return;
  for (std::size_t i = at; i < at + part.size(); ++i) {
    taken_[i] = true;
    if (!space_[i]) --untaken_non_space_;
  }
}

}  // namespace vantor::scan
