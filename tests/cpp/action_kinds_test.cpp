// What each parsed step is, as a runner dispatches it.
#include "steps/action_kinds.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "roles/actions.hpp"
#include "steps/parser.hpp"

namespace vs = vantor::steps;
using vs::ActionKind;

namespace {

struct KindCase {
  std::string step;
  ActionKind kind;
  bool needs_enabled;
};

class StepKind : public testing::TestWithParam<KindCase> {};

TEST_P(StepKind, OfTheParsedAction) {
  const vs::ActionTraits traits = vs::traits_of(vs::parse(GetParam().step).action);
  EXPECT_EQ(traits.kind, GetParam().kind) << GetParam().step;
  EXPECT_EQ(traits.needs_enabled, GetParam().needs_enabled) << GetParam().step;
}

INSTANTIATE_TEST_SUITE_P(EveryRule, StepKind,
                         testing::Values(KindCase{"click the second Save", ActionKind::element, true},
                                         KindCase{"type bob into Name", ActionKind::element, true},
                                         KindCase{"select Red from Colour", ActionKind::element, true},
                                         KindCase{"hover Menu", ActionKind::element, false},
                                         KindCase{"extract text from Total", ActionKind::element, false},
                                         KindCase{"extract text below Total", ActionKind::look_up, false},
                                         KindCase{"find exact text Done", ActionKind::look_up, false},
                                         KindCase{"verify Save is disabled", ActionKind::check, false},
                                         KindCase{"verify text Done is visible", ActionKind::text_check, false},
                                         KindCase{"verify text below Name is Bob", ActionKind::text_check, false},
                                         KindCase{"press Enter", ActionKind::browser, false},
                                         KindCase{"sendkeys Control+A", ActionKind::browser, false},
                                         KindCase{"wait 500", ActionKind::browser, false},
                                         KindCase{"dismiss dialog", ActionKind::dialog, false},
                                         KindCase{"verify dialog says Saved", ActionKind::dialog, false}));

TEST(ActionKinds, OnlyElementActionsNeedAnEnabledElement) {
  for (const vs::ActionTraits& traits : vs::action_traits) {
    if (traits.needs_enabled) {
      EXPECT_EQ(traits.kind, ActionKind::element);
    }
  }
}

}  // namespace

// The role rules answer a part of the actions, in their own terms; each must
// mean what the step reader's table says it is, or the runner would route a
// step one way and the role matcher answer it another.
TEST(RoleMatcherActions, AgreeWithTheStepReadersTable) {
  namespace vr = vantor::roles;
  for (const vr::ActionKind& role_action : vr::action_kinds) {
    const auto named = std::find(vs::action_names.begin(), vs::action_names.end(), role_action.action);
    ASSERT_NE(named, vs::action_names.end()) << role_action.action;
    const ActionKind kind = vs::action_traits[static_cast<std::size_t>(named - vs::action_names.begin())].kind;
    switch (role_action.kind) {
      case vr::Kind::action:
        EXPECT_EQ(kind, ActionKind::element) << role_action.action;
        break;
      case vr::Kind::element_check:
        EXPECT_EQ(kind, ActionKind::check) << role_action.action;
        break;
      case vr::Kind::text_check:
        EXPECT_EQ(kind, ActionKind::text_check) << role_action.action;
        break;
      case vr::Kind::look_up:
      case vr::Kind::exact_look_up:
        EXPECT_EQ(kind, ActionKind::look_up) << role_action.action;
        break;
    }
  }
}
