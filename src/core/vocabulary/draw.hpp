// Drawing a reader's own table from a word list at build time: by naming its
// entries, by a rule over them, or by re-ordering them. A name the list lacks
// stops the build, so no reader can grow a word the others do not know.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>
#include <type_traits>
#include <utility>

namespace vantor::vocabulary {

template <typename Entry, std::size_t M>
consteval Entry find(const std::array<Entry, M>& all, std::string_view key) {
  for (const Entry& e : all)
    if (e.key() == key) return e;
  throw "a word the vocabulary does not hold";
}

// The entries named by keys, in the order of keys.
template <typename Entry, std::size_t M, std::size_t N>
consteval std::array<Entry, N> pick(const std::array<Entry, M>& all, const std::string_view (&keys)[N]) {
  std::array<Entry, N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = find(all, keys[i]);
  return out;
}

// The entries that keep() accepts, in list order.
template <const auto& all, auto keep>
consteval auto select() {
  using Entry = std::remove_cvref_t<decltype(all[0])>;
  constexpr auto count = static_cast<std::size_t>(std::count_if(all.begin(), all.end(), keep));
  std::array<Entry, count> out{};
  std::size_t i = 0;
  for (const Entry& e : all)
    if (keep(e)) out[i++] = e;
  return out;
}

template <typename Entry, std::size_t N, typename Convert>
consteval auto convert_each(const std::array<Entry, N>& all, Convert convert) {
  std::array<decltype(convert(all[0])), N> out{};
  for (std::size_t i = 0; i < N; ++i) out[i] = convert(all[i]);
  return out;
}

template <std::size_t A, std::size_t B>
consteval std::array<std::string_view, A + B> join(const std::array<std::string_view, A>& a,
                                                   const std::array<std::string_view, B>& b) {
  std::array<std::string_view, A + B> out{};
  std::copy(a.begin(), a.end(), out.begin());
  std::copy(b.begin(), b.end(), out.begin() + A);
  return out;
}

// Longest phrase first, equal lengths in table order: a search that takes
// the first phrase found then prefers "right of" to a shorter one it holds.
template <typename Entry, std::size_t N, typename Phrase>
consteval std::array<Entry, N> longest_first(std::array<Entry, N> table, Phrase phrase) {
  // An insertion sort: stable, and usable at build time.
  for (std::size_t i = 1; i < N; ++i)
    for (std::size_t j = i; j > 0 && phrase(table[j]).size() > phrase(table[j - 1]).size(); --j)
      std::swap(table[j], table[j - 1]);
  return table;
}

}  // namespace vantor::vocabulary
