// Accounting for a wrapper's text with the texts of smaller elements inside
// it: each text, in turn, takes out one place where the wrapper shows it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vantor::scan {

class TextAccount {
 public:
  explicit TextAccount(std::string text);

  // Whether the wrapper's text holds `part` anywhere.
  bool contains(std::string_view part);

  // Takes out the first place, in text order, where the wrapper shows `part`
  // and that no earlier part has taken; nothing when there is none. A part
  // never takes text joined across a place already taken.
  void take_out(std::string_view part);

  // Whether all that has not been taken out is whitespace.
  bool only_whitespace_left() const { return untaken_non_space_ == 0; }

 private:
  // The places of `part`, ascending, from the suffix array (long texts).
  const std::vector<std::uint32_t>& places_of(std::string_view part);
  bool untaken(std::size_t at, std::size_t length) const;

  std::string text_;
  std::vector<bool> space_;  // the byte belongs to a whitespace character
  std::vector<bool> taken_;
  std::size_t untaken_non_space_ = 0;
  // Long texts are searched through their suffix array; each part resumes
  // where it last stopped, since a place taken stays taken.
  std::vector<std::uint32_t> suffixes_;
  struct Places {
    std::vector<std::uint32_t> at;
    std::size_t next = 0;
  };
  std::unordered_map<std::string_view, Places> places_;
  std::unordered_map<std::string_view, std::size_t> resume_;  // short texts: where find() goes on
};

}  // namespace vantor::scan
