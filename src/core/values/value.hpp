// The value model of the records and lists that cross module boundaries:
// null, bool, integer, float, text, list and record, records keeping their
// keys in insertion order.
//
// A value read from the caller can refer back to the caller's own object
// (origin), so that what the caller lent comes back as the very same object,
// and its texts can be views of the caller's strings rather than copies.
// Whoever makes such a value keeps the caller's objects alive while it is used.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace vantor::values {

class Value;
struct Entry;

using List = std::vector<Value>;

// An integer too large for 64 bits, kept as its decimal digits.
struct BigInt {
  std::string digits;
  bool operator==(const BigInt&) const = default;
};

class Record {
 public:
  Record() = default;
  Record(const Record& other);
  Record(Record&&) noexcept;
  Record& operator=(const Record& other);
  Record& operator=(Record&&) noexcept;
  ~Record();

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  const std::vector<Entry>& entries() const { return entries_; }

  // nullptr when the key is missing.
  const Value* find(std::string_view key) const;
  // Throws KeyError when the key is missing.
  const Value& at(std::string_view key) const;
  // The value when present, otherwise the fallback (taken only for a missing key).
  const Value& get(std::string_view key, const Value& fallback) const;
  bool contains(std::string_view key) const { return find(key) != nullptr; }

  // Replaces in place when the key exists, so key order never changes.
  void set(std::string key, Value value);

  bool operator==(const Record& other) const;

 private:
  // Records are small and a linear scan beats hashing at their usual sizes;
  // a large record (a caller's dict of many keys) builds a hash index so
  // that filling it stays linear.
  static constexpr std::size_t index_from_size = 24;
  struct Index {
    std::unordered_map<std::string, std::size_t> positions;
  };
  void build_index() const;
  // Where the key stands; size() when it is missing.
  std::size_t position(std::string_view key) const;

  std::vector<Entry> entries_;
  mutable std::unique_ptr<Index> index_;  // key to position, for large records only
};

class Value {
 public:
  using Storage =
      std::variant<std::monostate, bool, std::int64_t, BigInt, double, std::string, std::string_view, List, Record>;

  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool b) : data_(b) {}
  Value(int i) : data_(std::int64_t{i}) {}
  Value(std::int64_t i) : data_(i) {}
  Value(BigInt i) : data_(std::move(i)) {}
  Value(double d) : data_(d) {}
  Value(std::string s) : data_(std::move(s)) {}
  Value(const char* s) : data_(std::string(s)) {}
  Value(List l) : data_(std::move(l)) {}
  Value(Record r) : data_(std::move(r)) {}
  // A list (or record) met again inside itself while a caller's value was
  // read: its content is not read a second time, and its text form is [...]
  // (or {...}), as repr() writes it. The origin names the container.
  static Value back_reference(bool record);
  // A view of text owned elsewhere (the caller's string); it must outlive the value.
  static Value borrowed_text(std::string_view s);

  bool is_null() const { return std::holds_alternative<std::monostate>(data_); }
  bool is_bool() const { return std::holds_alternative<bool>(data_); }
  bool is_int() const { return std::holds_alternative<std::int64_t>(data_) || std::holds_alternative<BigInt>(data_); }
  bool is_float() const { return std::holds_alternative<double>(data_); }
  bool is_number() const { return is_int() || is_float(); }
  bool is_text() const {
    return std::holds_alternative<std::string>(data_) || std::holds_alternative<std::string_view>(data_);
  }
  bool is_list() const { return std::holds_alternative<List>(data_); }
  bool is_record() const { return std::holds_alternative<Record>(data_); }
  bool is_back_reference() const { return back_reference_; }

  // Each accessor throws TypeError when the value is of another kind. The
  // mutable ones forget the origin: a changed value is no longer the caller's.
  bool as_bool() const;
  std::int64_t as_int() const;
  double as_number() const;  // integers and floats alike
  std::string_view as_text() const;
  const List& as_list() const;
  List& as_list();
  const Record& as_record() const;
  Record& as_record();

  // Present and not null, false, 0, empty text, empty list or empty record.
  bool truthy() const;

  const Storage& storage() const { return data_; }

  // The caller's object this value was read from, if any (opaque to the core).
  const void* origin() const { return origin_; }
  void set_origin(const void* origin) { origin_ = origin; }

  // Equality of content; origins are not compared.
  bool operator==(const Value& other) const;

 private:
  Storage data_;
  const void* origin_ = nullptr;
  bool back_reference_ = false;
};

struct Entry {
  std::string key;
  Value value;
  bool operator==(const Entry&) const = default;
};

// The name of a value's kind, as Python would name it ("str", "list", ...).
std::string_view kind_name(const Value& v);

}  // namespace vantor::values
