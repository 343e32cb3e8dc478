// What the matching rules read of element descriptors and text element
// descriptors: a few fields of each, looked up lazily.
//
// The descriptors belong to the caller and stay where they are; a
// DescriptorList reads the fields a rule asks for, one descriptor at a time.
// Texts are views of the caller's own strings: a Descriptor is valid until the
// next read of the same list, so a rule that keeps a text longer copies it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::matching {

// The kind of a field's value. A missing key and a null value differ only in
// what a message says; both read as absent wherever a default applies.
enum class Kind : std::uint8_t { missing, null, boolean, integer, real, text, record, other };

struct Field {
  Kind kind = Kind::missing;
  bool truthy = false;           // present and not null, false, 0, "" or an empty container
  std::string_view text;         // Kind::text: UTF-8
  double number = 0;             // boolean, integer, real (huge integers are infinite)
  const char* type_name = "";    // for messages
  const void* origin = nullptr;  // the caller's object, handed back unchanged where a record shows it

  bool is_text() const { return kind == Kind::text; }
  bool is_number() const { return kind == Kind::boolean || kind == Kind::integer || kind == Kind::real; }
  bool is_record() const { return kind == Kind::record; }
  // How messages name the value's type: "str", "None", "list".
  const char* type() const {
    switch (kind) {
      case Kind::missing:
      case Kind::null:
        return "None";
      case Kind::boolean:
        return "bool";
      case Kind::integer:
        return "int";
      case Kind::real:
        return "float";
      case Kind::text:
        return "str";
      case Kind::record:
        return "dict";
      case Kind::other:
        break;
    }
    return type_name;
  }
  // The text when the value is a str; an absent value, or one of another kind, reads as "".
  std::string_view text_or_empty() const { return kind == Kind::text ? text : std::string_view(); }
};

// The entries of "attributes" the rules read.
struct Attributes {
  Field aria_label, label, placeholder, data_testid, type, alt, class_name, id, role;
  std::vector<std::string_view> data_names;  // keys beginning with "data-", in the record's order
};

// Which fields a read fills; the others hold whatever an earlier read left.
namespace need {
inline constexpr unsigned tag = 1;
inline constexpr unsigned text = 2;
inline constexpr unsigned attributes = 4;     // the attributes field and its entries
inline constexpr unsigned box = 8;            // the bounding_box field
inline constexpr unsigned coordinates = 256;  // the bounding_box field and its x, y, width, height
inline constexpr unsigned role = 512;         // the attributes field and its "role" entry only
inline constexpr unsigned is_visible = 16;
inline constexpr unsigned is_enabled = 32;
inline constexpr unsigned is_editable_field = 64;
inline constexpr unsigned xpath = 128;
}  // namespace need

struct Descriptor {
  Field tag, text, attributes_field, bounding_box, is_visible, is_enabled, is_editable_field, xpath;
  Field x, y, width, height;  // with need::coordinates: entries of bounding_box when it is a record
  Attributes attributes;      // entries of attributes when it is a record
};

// A list of the caller's descriptors.
class DescriptorList {
 public:
  virtual ~DescriptorList() = default;
  virtual std::size_t size() const = 0;
  // Fills `out` with the fields named by `needs` of descriptor i. Throws
  // TypeError when the entry is not a record.
  virtual void read(std::size_t i, unsigned needs, Descriptor& out) = 0;
  // The record's identity: the same record listed twice, or in both lists, has one identity.
  virtual const void* identity(std::size_t i) const = 0;
  // How messages name descriptor i: "dom_elements[3]", or "element" for a single one.
  virtual std::string where(std::size_t i) const = 0;
};

// An empty list, for a missing list of text elements.
class NoDescriptors final : public DescriptorList {
 public:
  std::size_t size() const override { return 0; }
  void read(std::size_t, unsigned, Descriptor&) override {}
  const void* identity(std::size_t) const override { return nullptr; }
  std::string where(std::size_t) const override { return {}; }
};

}  // namespace vantor::matching
