#include "steps/vocabulary.hpp"

#include "values/text_form.hpp"

namespace vantor::steps {

const std::string& supported_actions_tail() {
  static const std::string tail = [] {
    values::List names;
    for (std::size_t i = 0; i < supported_action_count; ++i) names.emplace_back(std::string(action_names[i]));
    return ". Supported actions: " + values::text_form(values::Value(std::move(names)));
  }();
  return tail;
}

}  // namespace vantor::steps
