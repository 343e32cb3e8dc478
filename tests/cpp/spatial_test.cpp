// The spatial core: target grammar, matrix rules, geometry, and resolution
// over entries held in plain structs.
#include <gtest/gtest.h>

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "errors.hpp"
#include "spatial/geometry.hpp"
#include "spatial/matrix_rules.hpp"
#include "spatial/position_arithmetic.hpp"
#include "spatial/resolver.hpp"
#include "spatial/target_grammar.hpp"

namespace sp = vantor::spatial;

namespace {

// -- grammar -----------------------------------------------------------------

TEST(SpatialTarget, WorkedExamples) {
  const auto second = sp::parse_target("second button below Email");
  EXPECT_EQ(second.anchor_text, "email");
  EXPECT_EQ(second.relation, sp::Relation::below);
  EXPECT_EQ(second.type_filter, "button");
  EXPECT_EQ(second.ordinal, 2);
  EXPECT_FALSE(second.search_text);
  EXPECT_FALSE(second.target_text);

  const auto save = sp::parse_target("Save button right of the Name field");
  EXPECT_EQ(save.anchor_text, "name field");
  EXPECT_EQ(save.relation, sp::Relation::right);
  EXPECT_EQ(save.target_text, "save");

  const auto cart = sp::parse_target("2nd Add to cart button");
  EXPECT_FALSE(cart.anchor_text);
  EXPECT_EQ(cart.search_text, "add to cart");

  const auto trailing = sp::parse_target("first button below");
  EXPECT_EQ(trailing.anchor_text, "");
  EXPECT_FALSE(trailing.has_anchor());
  EXPECT_FALSE(trailing.search_text);
}

TEST(SpatialTarget, ImpliedOrdinalStandsInOnlyForAMissingOrdinalWord) {
  EXPECT_EQ(sp::parse_target("button below Email", 2).ordinal, 2);
  EXPECT_EQ(sp::parse_target("third button below Email", 2).ordinal, 3);
  const auto alone = sp::parse_target("Save button", 2);
  EXPECT_EQ(alone.ordinal, 2);
  EXPECT_EQ(alone.search_text, "save");
  EXPECT_FALSE(sp::parse_target("Save button").search_text);
}

TEST(SpatialTarget, RelationNamesRoundTrip) {
  for (const sp::RelationPhrase& r : sp::relation_phrases)
    EXPECT_EQ(sp::relation_from_name(sp::relation_name(r.relation)), r.relation);
  EXPECT_FALSE(sp::relation_from_name("next to"));
}

TEST(SpatialNormalize, DropsBlanksAndHyphensOnly) {
  EXPECT_EQ(sp::normalize("Sign-In Now"), "signinnow");
  EXPECT_EQ(sp::normalize("a\tB-\xC3\x89"), "a\tb\xC3\xA9");
}

// -- matrix rules -------------------------------------------------------------

TEST(MatrixElementType, RolesInputsTags) {
  EXPECT_EQ(sp::element_type("div", "button", std::nullopt).type, "button");
  EXPECT_EQ(sp::element_type("input", std::nullopt, "reset").type, "button");
  EXPECT_EQ(sp::element_type("input", std::nullopt, "Submit").type, "input");
  EXPECT_EQ(sp::element_type("textarea", "checkbox", std::nullopt).type, "input");
  const auto own = sp::element_type("img", std::nullopt, std::nullopt);
  EXPECT_TRUE(own.tag_itself);
  EXPECT_EQ(own.type, "img");
  EXPECT_FALSE(sp::element_type(std::nullopt, std::nullopt, std::nullopt).type);
}

TEST(MatrixSearchable, JoinsNonEmptyPartsAndTrims) {
  const std::array<std::string_view, 3> parts = {" ", "Save", "save_btn "};
  EXPECT_EQ(sp::searchable(parts), "Save save_btn");
  EXPECT_TRUE(sp::trimmed_already("a b"));
  EXPECT_FALSE(sp::trimmed_already("a\xE3\x80\x80"));  // ideographic space
}

TEST(MatrixReadingOrder, StableByTopThenLeft) {
  const std::vector<sp::Corner> corners = {{100, 900}, {101, 0}, {100, 50}, {100, 50}, {0, 5}};
  EXPECT_EQ(sp::reading_order(corners), (std::vector<std::size_t>{4, 2, 3, 0, 1}));
  // two runs that are each in order merge with the first run first on ties
  const std::vector<sp::Corner> runs = {{0, 0}, {10, 0}, {20, 0}, {10, 0}, {15, 0}};
  EXPECT_EQ(sp::reading_order(runs), (std::vector<std::size_t>{0, 1, 3, 4, 2}));
}

TEST(MatrixOrderInType, CountsPerType) {
  const std::vector<std::optional<std::string_view>> types = {"button",     "text", "button",
                                                              std::nullopt, "text", std::nullopt};
  EXPECT_EQ(sp::order_in_type(types), (std::vector<std::int64_t>{1, 1, 2, 1, 2, 2}));
}

struct PositionCase {
  const char* name;
  sp::PlainNumber start, extent;
  double centre;
  sp::PlainNumber::Kind edge_kind;
  double edge;
};

class MatrixPosition : public ::testing::TestWithParam<PositionCase> {};

TEST_P(MatrixPosition, CentreIsAlwaysAFloatAndTheEdgeKeepsTheInputsType) {
  const PositionCase& c = GetParam();
  EXPECT_DOUBLE_EQ(sp::centre(c.start, c.extent), c.centre);
  const sp::PlainNumber edge = sp::edge(c.start, c.extent);
  EXPECT_EQ(edge.kind, c.edge_kind);
  EXPECT_DOUBLE_EQ(edge.real, c.edge);
  if (edge.kind == sp::PlainNumber::Kind::integer) {
    EXPECT_EQ(edge.integer, static_cast<long long>(c.edge));
  }
}

const sp::PlainNumber int_10 = *sp::PlainNumber::of_integer(10), int_5 = *sp::PlainNumber::of_integer(5);
const sp::PlainNumber big = *sp::PlainNumber::of_integer(1LL << 52);
using Kind = sp::PlainNumber::Kind;

INSTANTIATE_TEST_SUITE_P(
    Cases, MatrixPosition,
    ::testing::Values(PositionCase{"ints", int_10, int_5, 12.5, Kind::integer, 15},
                      PositionCase{"int_and_float", int_10, sp::PlainNumber::of_real(5.5), 12.75, Kind::real, 15.5},
                      PositionCase{"float_and_int", sp::PlainNumber::of_real(-0.5), int_5, 2.0, Kind::real, 4.5},
                      PositionCase{"largest_exact_ints", big, big, 6755399441055744.0, Kind::integer,
                                   9007199254740992.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MatrixPosition, IntegersPast52BitsAreLeftToTheHost) {
  EXPECT_TRUE(sp::PlainNumber::of_integer(-(1LL << 52)).has_value());
  EXPECT_FALSE(sp::PlainNumber::of_integer((1LL << 52) + 1).has_value());
  EXPECT_FALSE(sp::PlainNumber::of_integer(-(1LL << 52) - 1).has_value());
}

// -- geometry ------------------------------------------------------------------

TEST(SpatialGeometry, OverlapIsStrictWithTolerance) {
  EXPECT_TRUE(sp::overlaps({159, 179}, {100, 120}));
  EXPECT_FALSE(sp::overlaps({160, 180}, {100, 120}));
  EXPECT_DOUBLE_EQ(sp::centre_distance(0, 0, 3, 4), 5.0);
}

TEST(SpatialGeometry, DomDistanceCountsEveryEqualPosition) {
  EXPECT_EQ(sp::dom_distance("/html/body/div/p", "/html/body/span/p"), 2);
  EXPECT_EQ(sp::dom_distance("", "/html/body"), 3);
  EXPECT_EQ(sp::dom_distance("", ""), 0);
  EXPECT_EQ(sp::dom_distance("///", "/"), 0);
}

// -- resolution over plain entries -------------------------------------------------

struct Plain {
  std::optional<std::int64_t> index;
  std::string type;
  std::string text;
  bool anchor_only = false;
  std::array<double, 4> box{};  // x, y, w, h
  std::map<std::string, std::string> attributes;
  std::string xpath;
};

class PlainEntries final : public sp::Entries {
 public:
  explicit PlainEntries(std::vector<Plain> entries) : entries_(std::move(entries)) {}
  std::size_t size() const override { return entries_.size(); }
  std::int64_t index(std::size_t i) const override {
    if (!entries_[i].index) throw vantor::KeyError("index");
    return *entries_[i].index;
  }
  bool is_anchor_only(std::size_t i) const override { return entries_[i].anchor_only; }
  std::optional<std::string_view> element_type(std::size_t i) const override { return entries_[i].type; }
  std::string_view text(std::size_t i, bool) const override { return entries_[i].text; }
  std::string_view searchable(std::size_t i, bool) const override { return entries_[i].text; }
  std::optional<std::string_view> anchor_attribute(std::size_t i, sp::AnchorAttribute which) const override {
    static constexpr const char* names[] = {"aria-label", "_label", "placeholder"};
    const auto found = entries_[i].attributes.find(names[static_cast<std::size_t>(which)]);
    if (found == entries_[i].attributes.end() || found->second.empty()) return std::nullopt;
    return found->second;
  }
  double coordinate(std::size_t i, sp::Coordinate c) const override {
    const auto& [x, y, w, h] = entries_[i].box;
    switch (c) {
      case sp::Coordinate::x:
        return x;
      case sp::Coordinate::y:
        return y;
      case sp::Coordinate::w:
        return w;
      case sp::Coordinate::h:
        return h;
      case sp::Coordinate::cx:
        return x + w / 2;
      case sp::Coordinate::cy:
        return y + h / 2;
      case sp::Coordinate::x2:
        return x + w;
      case sp::Coordinate::y2:
        return y + h;
    }
    return 0;
  }
  double extent(std::size_t i, sp::Coordinate c, double) const override { return coordinate(i, c); }
  std::string_view xpath(std::size_t i) const override { return entries_[i].xpath; }

 private:
  std::vector<Plain> entries_;
};

PlainEntries form() {
  return PlainEntries({
      {0, "text", "Email", true, {20, 20, 60, 20}, {}, ""},
      {1, "input", "", false, {20, 50, 300, 30}, {{"aria-label", "Email"}}, ""},
      {2, "button", "Save", false, {20, 120, 80, 30}, {}, ""},
      {3, "button", "Reset", false, {20, 170, 80, 30}, {}, ""},
  });
}

TEST(SpatialAnchor, TextBeatsAttributeAndPrefixNeedsABlank) {
  const PlainEntries entries = form();
  EXPECT_EQ(sp::find_anchor(entries, "EMAIL"), 0u);
  const PlainEntries only_attribute({{0, "input", "Emailing", false, {}, {{"_label", "email"}}, ""}});
  EXPECT_EQ(sp::find_anchor(only_attribute, "email"), 0u);
  const PlainEntries prefix(
      {{0, "button", "Emailing", false, {}, {}, ""}, {1, "button", "Email me", false, {}, {}, ""}});
  EXPECT_EQ(sp::find_anchor(prefix, "email"), 1u);
  EXPECT_FALSE(sp::find_anchor(prefix, "phone"));
}

TEST(SpatialResolve, AnchorRelationOrdinalAndRelaxation) {
  const PlainEntries entries = form();
  const auto below = sp::resolve(entries, sp::parse_target("button below email"));
  ASSERT_EQ(below.kind, sp::Resolution::Kind::by_anchor);
  EXPECT_EQ(below.element, 2u);
  EXPECT_EQ(below.candidates, (std::vector<std::size_t>{2, 3}));
  EXPECT_FALSE(below.type_relaxed);

  const auto second = sp::resolve(entries, sp::parse_target("button below email", 2));
  EXPECT_EQ(second.element, 3u);
  EXPECT_EQ(second.ordinal, 2);

  const auto relaxed = sp::resolve(entries, sp::parse_target("link below email"));
  EXPECT_EQ(relaxed.kind, sp::Resolution::Kind::unresolved);  // no link at all: no relaxed attempt

  const PlainEntries with_link({{0, "text", "Email", true, {20, 20, 60, 20}, {}, ""},
                                {1, "input", "", false, {20, 50, 300, 30}, {}, ""},
                                {2, "link", "Far", false, {900, 900, 10, 10}, {}, ""}});
  const auto found = sp::resolve(with_link, sp::parse_target("link below email"));
  EXPECT_EQ(found.element, 1u);
  EXPECT_TRUE(found.type_relaxed);
}

TEST(SpatialResolve, OrdinalAlone) {
  const PlainEntries entries = form();
  const auto second = sp::resolve(entries, sp::parse_target("second button"));
  ASSERT_EQ(second.kind, sp::Resolution::Kind::by_ordinal);
  EXPECT_EQ(second.element, 3u);
  EXPECT_EQ(sp::resolve(entries, sp::parse_target("third button")).kind, sp::Resolution::Kind::unresolved);
  EXPECT_EQ(sp::resolve(entries, sp::parse_target("login button")).kind, sp::Resolution::Kind::unresolved);
}

TEST(SpatialResolve, MissingIndexIsAKeyError) {
  PlainEntries entries({{0, "text", "Email", true, {}, {}, ""}, {std::nullopt, "button", "Go", false, {}, {}, ""}});
  EXPECT_THROW(sp::resolve(entries, sp::parse_target("button below email")), vantor::KeyError);
}

TEST(SpatialRank, NextToKeepsTheFirstInReadingOrder) {
  const PlainEntries entries({{0, "text", "Email", true, {0, 100, 50, 20}, {}, ""},
                              {5, "button", "Near", false, {60, 101, 10, 20}, {}, ""},
                              {4, "button", "Far", false, {900, 100, 10, 20}, {}, ""}});
  EXPECT_EQ(sp::rank(entries, {1, 2}, 0, sp::Relation::next_to, std::nullopt), (std::vector<std::size_t>{2}));
  EXPECT_EQ(sp::rank(entries, {1, 2}, 0, sp::Relation::next_to, 2), (std::vector<std::size_t>{1}));
  EXPECT_EQ(sp::rank(entries, {1, 2}, 0, sp::Relation::right, std::nullopt), (std::vector<std::size_t>{1, 2}));
  EXPECT_TRUE(sp::rank(entries, {1, 2}, 0, std::nullopt, std::nullopt).empty());
}

}  // namespace
