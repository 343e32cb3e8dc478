// Values and their text form: records keep insertion order, truthiness and
// text forms follow what the host would say of the equivalent object.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "errors.hpp"
#include "values/text_form.hpp"
#include "values/value.hpp"

namespace vv = vantor::values;

namespace {

struct FloatCase {
  double in;
  const char* out;
};

void PrintTo(const FloatCase& c, std::ostream* os) { *os << c.out; }

class FloatRepr : public testing::TestWithParam<FloatCase> {};

TEST_P(FloatRepr, ShortestRoundTrip) { EXPECT_EQ(vv::float_repr(GetParam().in), GetParam().out); }

constexpr double inf = std::numeric_limits<double>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Cases, FloatRepr,
    testing::Values(FloatCase{0.0, "0.0"}, FloatCase{-0.0, "-0.0"}, FloatCase{1.0, "1.0"}, FloatCase{100.0, "100.0"},
                    FloatCase{-2.5, "-2.5"}, FloatCase{0.1, "0.1"}, FloatCase{1.0 / 3.0, "0.3333333333333333"},
                    FloatCase{123456.789, "123456.789"}, FloatCase{1e15, "1000000000000000.0"},
                    FloatCase{1234567890123456.0, "1234567890123456.0"},
                    FloatCase{9999999999999998.0, "9999999999999998.0"}, FloatCase{1e16, "1e+16"},
                    FloatCase{12345678901234567.0, "1.2345678901234568e+16"}, FloatCase{1e22, "1e+22"},
                    FloatCase{1e100, "1e+100"}, FloatCase{0.001, "0.001"}, FloatCase{0.0001, "0.0001"},
                    FloatCase{1e-05, "1e-05"}, FloatCase{1.5e-7, "1.5e-07"}, FloatCase{5e-324, "5e-324"},
                    FloatCase{2.2250738585072014e-308, "2.2250738585072014e-308"},
                    FloatCase{1.7976931348623157e+308, "1.7976931348623157e+308"}, FloatCase{inf, "inf"},
                    FloatCase{-inf, "-inf"}, FloatCase{std::numeric_limits<double>::quiet_NaN(), "nan"}));

vv::Record record(std::initializer_list<std::pair<const char*, vv::Value>> entries) {
  vv::Record r;
  for (const auto& [k, v] : entries) r.set(k, v);
  return r;
}

TEST(TextForm, Scalars) {
  EXPECT_EQ(vv::text_form(vv::Value()), "None");
  EXPECT_EQ(vv::text_form(nullptr), "None");
  EXPECT_EQ(vv::text_form(true), "True");
  EXPECT_EQ(vv::text_form(false), "False");
  EXPECT_EQ(vv::text_form(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
  EXPECT_EQ(vv::text_form(vv::BigInt{"-123456789012345678901234567890"}), "-123456789012345678901234567890");
  EXPECT_EQ(vv::text_form(2.0), "2.0");
  EXPECT_EQ(vv::text_form("it's"), "\"it's\"");
  const std::string owned = "view\n";
  EXPECT_EQ(vv::text_form(vv::Value::borrowed_text(owned)), "'view\\n'");
}

TEST(TextForm, NestedContainersInKeyOrder) {
  vv::Record inner = record({{"z", 1}, {"a", vv::List{}}});
  vv::Value v = record({{"b", vv::List{1, "x", nullptr, vv::List{true, 0.5}}}, {"a", inner}, {"e", vv::Record{}}});
  EXPECT_EQ(vv::text_form(v), "{'b': [1, 'x', None, [True, 0.5]], 'a': {'z': 1, 'a': []}, 'e': {}}");
  EXPECT_EQ(vv::text_form(record({{"it's", "q\"d"}})), "{\"it's\": 'q\"d'}");
}

TEST(Record, SetReplacesInPlaceAndAppendsNewKeys) {
  vv::Record r = record({{"action", "click"}, {"target", "x"}, {"value", nullptr}});
  r.set("target", "y");
  r.set("ordinal", 2);
  ASSERT_EQ(r.size(), 4u);
  const char* keys[] = {"action", "target", "value", "ordinal"};
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(r.entries()[i].key, keys[i]);
  EXPECT_EQ(r.at("target"), vv::Value("y"));
  EXPECT_EQ(vv::text_form(r), "{'action': 'click', 'target': 'y', 'value': None, 'ordinal': 2}");
}

TEST(Record, LookUps) {
  const vv::Record r = record({{"a", nullptr}, {"b", 0}});
  EXPECT_TRUE(r.contains("a"));
  EXPECT_FALSE(r.contains("A"));
  EXPECT_EQ(r.find("c"), nullptr);
  // A present null is returned, not the fallback.
  EXPECT_TRUE(r.get("a", vv::Value(5)).is_null());
  EXPECT_EQ(r.get("c", vv::Value(5)), vv::Value(5));
  try {
    (void)r.at("missing key");
    FAIL() << "at() returned for a missing key";
  } catch (const vantor::KeyError& e) {
    EXPECT_STREQ(e.what(), "missing key");
  }
}

TEST(Record, LargeRecordsKeepOrderThroughCopiesAndReplacements) {
  vv::Record r;
  for (int i = 0; i < 1000; ++i) r.set("k" + std::to_string(i), i);
  r.set("k500", "replaced");
  vv::Record copy = r;  // the copy answers look-ups on its own entries
  copy.set("k999", "last");
  copy.set("new", true);
  ASSERT_EQ(r.size(), 1000u);
  ASSERT_EQ(copy.size(), 1001u);
  EXPECT_EQ(r.at("k500"), vv::Value("replaced"));
  EXPECT_EQ(r.at("k999"), vv::Value(999));
  EXPECT_EQ(copy.at("k999"), vv::Value("last"));
  EXPECT_FALSE(r.contains("new"));
  for (std::size_t i = 0; i < 1000; ++i) EXPECT_EQ(copy.entries()[i].key, "k" + std::to_string(i));
  EXPECT_EQ(copy.entries()[1000].key, "new");
  r = copy;
  EXPECT_TRUE(r.contains("new"));
  EXPECT_EQ(r.find("absent"), nullptr);
}

TEST(TextForm, BackReferencesAreWrittenAsRepr) {
  vv::List items{1, vv::Value::back_reference(false)};
  EXPECT_EQ(vv::text_form(vv::Value(items)), "[1, [...]]");
  EXPECT_EQ(vv::text_form(record({{"me", vv::Value::back_reference(true)}})), "{'me': {...}}");
  EXPECT_TRUE(vv::Value::back_reference(false).truthy());
}

struct TruthCase {
  const char* name;
  vv::Value value;
  bool truthy;
};

class Truthy : public testing::TestWithParam<TruthCase> {};

TEST_P(Truthy, FollowsBool) { EXPECT_EQ(GetParam().value.truthy(), GetParam().truthy); }

INSTANTIATE_TEST_SUITE_P(
    Cases, Truthy,
    testing::Values(TruthCase{"null", vv::Value(), false}, TruthCase{"false", false, false},
                    TruthCase{"true", true, true}, TruthCase{"zero", 0, false}, TruthCase{"minus_one", -1, true},
                    TruthCase{"zero_float", 0.0, false}, TruthCase{"minus_zero", -0.0, false},
                    TruthCase{"nan", std::numeric_limits<double>::quiet_NaN(), true},
                    TruthCase{"big", vv::BigInt{"99999999999999999999"}, true}, TruthCase{"empty_text", "", false},
                    TruthCase{"space", " ", true}, TruthCase{"empty_view", vv::Value::borrowed_text(""), false},
                    TruthCase{"empty_list", vv::List{}, false}, TruthCase{"list_of_null", vv::List{nullptr}, true},
                    TruthCase{"empty_record", vv::Record{}, false},
                    TruthCase{"record", record({{"k", nullptr}}), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Value, AccessorsThrowTypeErrorNamingKinds) {
  const auto message = [](auto&& f) -> std::string {
    try {
      f();
    } catch (const vantor::TypeError& e) {
      return e.what();
    }
    return "no TypeError";
  };
  const vv::Value i = 3, f = 1.5, s = "x", n;
  EXPECT_EQ(message([&] { (void)i.as_text(); }), "expected str, got int");
  EXPECT_EQ(message([&] { (void)f.as_int(); }), "expected int, got float");
  EXPECT_EQ(message([&] { (void)s.as_number(); }), "expected int or float, got str");
  EXPECT_EQ(message([&] { (void)n.as_record(); }), "expected dict, got NoneType");
  EXPECT_EQ(message([&] { (void)vv::Value(vv::Record{}).as_list(); }), "expected list, got dict");
  EXPECT_EQ(message([&] { (void)vv::Value(vv::List{}).as_bool(); }), "expected bool, got list");
  EXPECT_EQ(message([&] { (void)vv::Value(true).as_int(); }), "expected int, got bool");
  EXPECT_EQ(i.as_number(), 3.0);
  EXPECT_EQ(vv::kind_name(vv::BigInt{"1"}), "int");
  EXPECT_EQ(vv::kind_name(vv::Value::borrowed_text("x")), "str");
}

TEST(Value, EqualityComparesContent) {
  const std::string owned = "abc";
  EXPECT_EQ(vv::Value("abc"), vv::Value::borrowed_text(owned));
  EXPECT_EQ(vv::Value(1), vv::Value(1.0));
  EXPECT_NE(vv::Value(1), vv::Value("1"));
  EXPECT_NE(vv::Value(nullptr), vv::Value(false));
  vv::Value a = 1, b = 1;
  a.set_origin(&owned);
  EXPECT_EQ(a, b);
}

}  // namespace
