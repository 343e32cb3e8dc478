// The steps the role rules answer, and how: any other step is left to text
// matching and spatial. What an action is in general is the step reader's
// table; this one adds what the role rules need (which state a check reads,
// which look-up is exact), and the tests hold the two in agreement.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace vantor::roles {

enum class Kind : std::uint8_t { action, element_check, text_check, look_up, exact_look_up };
enum class Check : std::uint8_t { none, present, visible, enabled, disabled };

struct ActionKind {
  std::string_view action;
  Kind kind;
  Check check;
};

inline constexpr std::array<ActionKind, 13> action_kinds = {{
    {"click", Kind::action, Check::none},
    {"type", Kind::action, Check::none},
    {"hover", Kind::action, Check::none},
    {"select", Kind::action, Check::none},
    {"extract_text", Kind::action, Check::none},
    {"verify_present", Kind::element_check, Check::present},
    {"verify_visible", Kind::element_check, Check::visible},
    {"verify_enabled", Kind::element_check, Check::enabled},
    {"verify_disabled", Kind::element_check, Check::disabled},
    {"verify_text_present", Kind::text_check, Check::present},
    {"verify_text_visible", Kind::text_check, Check::visible},
    {"find_text", Kind::look_up, Check::none},
    {"find_exact_text", Kind::exact_look_up, Check::none},
}};

// The entry of an action; null for a step the role rules leave to others.
constexpr const ActionKind* kind_of(std::string_view action) {
  for (const ActionKind& k : action_kinds)
    if (k.action == action) return &k;
  return nullptr;
}

}  // namespace vantor::roles
