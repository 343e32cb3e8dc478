#include "matching/result_records.hpp"

#include "support/record_fields.hpp"

namespace vantor::bindings {
namespace {

// The three result records, one per family of actions.
enum class ResultKey { resolved, verified, confidence, element, extracted, state, candidates };
const Shape& result_shape(matching::Family family) {
  static const Shape element{Field{"resolved"}, {"confidence"}, {"element"}, {"candidates"}};
  static const Shape check{Field{"resolved"}, {"verified"}, {"confidence"}, {"element"}, {"state"}, {"candidates"}};
  static const Shape extraction{Field{"resolved"}, {"confidence"}, {"element"}, {"extracted"}, {"candidates"}};
  return family == matching::Family::element ? element : family == matching::Family::check ? check : extraction;
}
// The keys of all three by name (interned: the very same strs).
const RecordShape<ResultKey>& result_keys() {
  static const RecordShape<ResultKey> shape{"resolved",  "verified", "confidence", "element",
                                            "extracted", "state",    "candidates"};
  return shape;
}

enum class StateKey { present, visible, enabled, expected, actual };
const RecordShape<StateKey>& state_keys() {
  static const RecordShape<StateKey> shape{"present", "visible", "enabled", "expected", "actual"};
  return shape;
}

}  // namespace

const RecordShape<InstructionKey>& read_keys() {
  static const RecordShape<InstructionKey> shape{"action", "target", "value", "ordinal", "is_visible", "is_enabled"};
  return shape;
}

namespace {

const Blank& confidence_one() {
  static const Blank one(1.0);
  return one;
}
const Blank& confidence_zero() {
  static const Blank zero(0.0);
  return zero;
}

// The element's own value of a flag, False when it has none.
nb::object own_flag(PyObject* element, PyObject* key) {
  PyObject* value = field(element, key);
  return nb::borrow(value ? value : Py_False);
}

}  // namespace

nb::object to_result(const matching::Resolution& r, const Lists& lists, nb::handle expected) {
  using K = ResultKey;
  using S = StateKey;
  const auto& key = result_keys();
  const auto& state_key = state_keys();
  // Everything the result holds is taken from the held lists first; making
  // the containers may run the collector, and with it caller code.
  PyObject* element = r.element ? lists.item(*r.element) : Py_None;
  nb::object visible, enabled;
  if (r.state == matching::State::element || r.state == matching::State::text_element)
    visible = own_flag(element, read_keys().key(InstructionKey::is_visible));
  if (r.state == matching::State::element) enabled = own_flag(element, read_keys().key(InstructionKey::is_enabled));

  const nb::dict result = result_shape(r.family).make();
  const nb::object candidates = checked(PyList_New(static_cast<Py_ssize_t>(r.candidates.size())));
  for (std::size_t i = 0; i < r.candidates.size(); ++i) {
    PyObject* c = lists.item(r.candidates[i]);
    Py_INCREF(c);
    PyList_SET_ITEM(candidates.ptr(), static_cast<Py_ssize_t>(i), c);
  }
  PyObject* dict = result.ptr();
  put(dict, key.key(K::resolved), r.resolved ? Py_True : Py_False);
  put(dict, key.key(K::confidence), r.resolved ? confidence_one().object : confidence_zero().object);
  put(dict, key.key(K::element), element);
  put(dict, key.key(K::candidates), candidates.ptr());
  if (r.family == matching::Family::extraction) put(dict, key.key(K::extracted), make_str(r.extracted).ptr());
  if (r.family != matching::Family::check) return result;

  PyObject* verified = Py_False;
  if (r.verified == matching::Verified::yes) verified = Py_True;
  if (r.verified == matching::Verified::element_visible) verified = visible.ptr();
  if (r.verified == matching::Verified::element_enabled) verified = enabled.ptr();
  put(dict, key.key(K::verified), verified);
  const nb::dict state;
  switch (r.state) {
    case matching::State::empty:
      break;
    case matching::State::element:
    case matching::State::text_element:
      put(state.ptr(), state_key.key(S::present), Py_True);
      put(state.ptr(), state_key.key(S::visible), visible.ptr());
      if (r.state == matching::State::element) put(state.ptr(), state_key.key(S::enabled), enabled.ptr());
      break;
    case matching::State::expected:
    case matching::State::expected_actual:
      put(state.ptr(), state_key.key(S::expected), expected.ptr());
      if (r.state == matching::State::expected_actual)
        put(state.ptr(), state_key.key(S::actual), make_str(r.actual).ptr());
      break;
  }
  put(dict, key.key(K::state), state.ptr());
  return result;
}

}  // namespace vantor::bindings
