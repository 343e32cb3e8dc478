// What the resolver reads from matrix entries. An entry may come from the
// matrix builder or be written by hand, so every read states what happens
// when the key is missing: a default, or KeyError naming the key.
//
// Reads are made one field at a time, when a rule needs it, so a resolution
// touches only what it uses; whoever implements this keeps the texts it hands
// out alive for as long as the Entries object lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "spatial/geometry.hpp"

namespace vantor::spatial {

// The attributes of an entry's element that can name it as an anchor, in the
// order they are consulted.
enum class AnchorAttribute : std::uint8_t { aria_label, label, placeholder };
inline constexpr AnchorAttribute anchor_attributes[] = {AnchorAttribute::aria_label, AnchorAttribute::label,
                                                        AnchorAttribute::placeholder};

class Entries {
 public:
  virtual ~Entries() = default;

  virtual std::size_t size() const = 0;

  // "index"; KeyError when missing.
  virtual std::int64_t index(std::size_t i) const = 0;
  // "is_anchor_only" as a truth value; false when missing.
  virtual bool is_anchor_only(std::size_t i) const = 0;
  // "element_type"; KeyError when missing; none when it is not a text (it
  // then equals no type filter).
  virtual std::optional<std::string_view> element_type(std::size_t i) const = 0;
  // "text" and "searchable": KeyError when missing and required, otherwise
  // the empty text; TypeError when not a text.
  virtual std::string_view text(std::size_t i, bool required) const = 0;
  virtual std::string_view searchable(std::size_t i, bool required) const = 0;
  // An attribute of the entry's element; none when missing or empty (any
  // empty value: null, "", 0); TypeError for any other value that is not a text.
  virtual std::optional<std::string_view> anchor_attribute(std::size_t i, AnchorAttribute which) const = 0;
  // A key of "position"; KeyError when the position or the key is missing.
  virtual double coordinate(std::size_t i, Coordinate c) const = 0;
  // "w" or "h" for the anchor's area rule: fallback when either is missing.
  virtual double extent(std::size_t i, Coordinate c, double fallback) const = 0;
  // "xpath" of the entry's element; empty when either is missing.
  virtual std::string_view xpath(std::size_t i) const = 0;
};

}  // namespace vantor::spatial
