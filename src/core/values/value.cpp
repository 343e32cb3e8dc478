#include "values/value.hpp"

#include "errors.hpp"

namespace vantor::values {
namespace {

[[noreturn]] void wrong_kind(const Value& v, std::string_view wanted) {
  throw TypeError("expected " + std::string(wanted) + ", got " + std::string(kind_name(v)));
}

}  // namespace

Record::Record(const Record& other) : entries_(other.entries_) {}

Record& Record::operator=(const Record& other) {
  if (this != &other) {
    entries_ = other.entries_;
    index_.reset();
  }
  return *this;
}

Record::Record(Record&&) noexcept = default;
Record& Record::operator=(Record&&) noexcept = default;
Record::~Record() = default;

void Record::build_index() const {
  index_ = std::make_unique<Index>();
  index_->positions.reserve(entries_.size() * 2);
  for (std::size_t i = 0; i < entries_.size(); ++i) index_->positions.emplace(entries_[i].key, i);
}

std::size_t Record::position(std::string_view key) const {
  if (entries_.size() >= index_from_size) {
    if (!index_) build_index();
    const auto it = index_->positions.find(std::string(key));
    return it == index_->positions.end() ? entries_.size() : it->second;
  }
  std::size_t i = 0;
  while (i < entries_.size() && entries_[i].key != key) ++i;
  return i;
}

const Value* Record::find(std::string_view key) const {
  const std::size_t i = position(key);
  return i < entries_.size() ? &entries_[i].value : nullptr;
}

const Value& Record::at(std::string_view key) const {
  if (const Value* v = find(key)) return *v;
  throw KeyError(std::string(key));
}

const Value& Record::get(std::string_view key, const Value& fallback) const {
  const Value* v = find(key);
  return v ? *v : fallback;
}

void Record::set(std::string key, Value value) {
  if (const std::size_t i = position(key); i < entries_.size()) {
    entries_[i].value = std::move(value);
    return;
  }
  if (index_) index_->positions.emplace(key, entries_.size());
  entries_.push_back(Entry{std::move(key), std::move(value)});
}

bool Record::operator==(const Record& other) const { return entries_ == other.entries_; }

Value Value::back_reference(bool record) {
  Value v = record ? Value(Record{}) : Value(List{});
  v.back_reference_ = true;
  return v;
}

Value Value::borrowed_text(std::string_view s) {
  Value v;
  v.data_ = s;
  return v;
}

bool Value::as_bool() const {
  if (const bool* b = std::get_if<bool>(&data_)) return *b;
  wrong_kind(*this, "bool");
}

std::int64_t Value::as_int() const {
  if (const std::int64_t* i = std::get_if<std::int64_t>(&data_)) return *i;
  wrong_kind(*this, "int");
}

double Value::as_number() const {
  if (const std::int64_t* i = std::get_if<std::int64_t>(&data_)) return static_cast<double>(*i);
  if (const double* d = std::get_if<double>(&data_)) return *d;
  if (const BigInt* b = std::get_if<BigInt>(&data_)) return std::stod(b->digits);
  wrong_kind(*this, "int or float");
}

std::string_view Value::as_text() const {
  if (const std::string* s = std::get_if<std::string>(&data_)) return *s;
  if (const std::string_view* s = std::get_if<std::string_view>(&data_)) return *s;
  wrong_kind(*this, "str");
}

const List& Value::as_list() const {
  if (const List* l = std::get_if<List>(&data_)) return *l;
  wrong_kind(*this, "list");
}

List& Value::as_list() {
  if (List* l = std::get_if<List>(&data_)) {
    origin_ = nullptr;
    return *l;
  }
  wrong_kind(*this, "list");
}

const Record& Value::as_record() const {
  if (const Record* r = std::get_if<Record>(&data_)) return *r;
  wrong_kind(*this, "dict");
}

Record& Value::as_record() {
  if (Record* r = std::get_if<Record>(&data_)) {
    origin_ = nullptr;
    return *r;
  }
  wrong_kind(*this, "dict");
}

bool Value::truthy() const {
  if (back_reference_) return true;  // it holds at least itself
  return std::visit(
      [](const auto& x) -> bool {
        using T = std::decay_t<decltype(x)>;
        if constexpr (std::is_same_v<T, std::monostate>)
          return false;
        else if constexpr (std::is_same_v<T, bool>)
          return x;
        else if constexpr (std::is_same_v<T, std::int64_t> || std::is_same_v<T, double>)
          return x != 0;
        else if constexpr (std::is_same_v<T, BigInt>)
          return true;  // never zero: zero fits in 64 bits
        else
          return !x.empty();  // texts, lists and records
      },
      data_);
}

bool Value::operator==(const Value& other) const {
  if (is_text() && other.is_text()) return as_text() == other.as_text();
  const auto* i = std::get_if<std::int64_t>(&data_);
  const auto* d = std::get_if<double>(&data_);
  const auto* oi = std::get_if<std::int64_t>(&other.data_);
  const auto* od = std::get_if<double>(&other.data_);
  if ((i || d) && (oi || od)) {
    if (i && oi) return *i == *oi;
    return as_number() == other.as_number();
  }
  return data_ == other.data_;
}

std::string_view kind_name(const Value& v) {
  static constexpr std::string_view names[] = {"NoneType", "bool", "int", "int", "float", "str", "str", "list", "dict"};
  return names[v.storage().index()];
}

}  // namespace vantor::values
