#include "scan/page_facts.hpp"

#include <set>
#include <string_view>

#include "errors.hpp"
#include "scan/scripts.hpp"
#include "scan/snapshot.hpp"

namespace vantor::scan {

using values::List;
using values::Record;
using values::Value;

std::string facts_collector() {
  return "(" + std::string(scripts::collect_facts) + ")(" + std::string(scripts::page_facts) + ", " +
         std::string(scripts::unlisted_elements) + ", " + std::string(scripts::xpath) + ")";
}

std::string facts_script(const List& xpaths) {
  std::string listed;
  append_json(listed, Value(xpaths));  // ASCII JSON reads as a JavaScript array
  return "() => JSON.stringify((" + facts_collector() + ")([], " + listed + "))";
}

List descriptor_xpaths(const List& elements, const List& text_elements) {
  List xpaths;
  std::set<std::string_view> seen;
  for (const List* list : {&elements, &text_elements}) {
    for (const Value& descriptor : *list) {
      const Value* xpath = descriptor.is_record() ? descriptor.as_record().find("xpath") : nullptr;
      if (xpath && xpath->is_text() && seen.insert(xpath->as_text()).second) xpaths.push_back(*xpath);
    }
  }
  return xpaths;
}

List unlisted_of(const Record& facts, const List& listed) {
  const Value* unlisted = facts.find("unlisted");
  if (!unlisted || !unlisted->is_list()) return {};
  std::set<std::string_view> seen;
  for (const Value& xpath : listed) seen.insert(xpath.as_text());
  List kept;
  for (const Value& descriptor : unlisted->as_list()) {
    const Value* xpath = descriptor.is_record() ? descriptor.as_record().find("xpath") : nullptr;
    if (xpath && xpath->is_text() && seen.insert(xpath->as_text()).second) kept.push_back(descriptor);
  }
  return kept;
}

Record facts_of(const List& xpaths, const Record& facts) {
  Record kept;
  for (const Value& xpath : xpaths) {
    const Value* values = facts.find(xpath.as_text());
    if (!values) continue;
    const List& listed = values->as_list();
    if (listed.size() != fact_keys.size()) throw ValueError("a page fact record has the wrong number of values");
    Record fact;
    for (std::size_t i = 0; i < fact_keys.size(); ++i) fact.set(std::string(fact_keys[i]), listed[i]);
    kept.set(std::string(xpath.as_text()), Value(std::move(fact)));
  }
  return kept;
}

}  // namespace vantor::scan
