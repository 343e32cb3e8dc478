"""What each action is, as the step reader decides it: the runner routes a
parsed step by its kind and never by the spelling of its action's name."""

from types import MappingProxyType

from vantor.engine.agent.stepreader import _ACTION_TABLE

ELEMENT, CHECK, TEXT_CHECK, LOOK_UP, BROWSER, DIALOG = "element", "check", "text_check", "look_up", "browser", "dialog"

# Action name -> kind, for every action the reader can produce.
KIND_OF = MappingProxyType({name: kind for name, kind, _ in _ACTION_TABLE})
# Element actions that a disabled element cannot take.
NEEDS_ENABLED = frozenset(name for name, _, needs_enabled in _ACTION_TABLE if needs_enabled)


def unreadable_reason(error):
    """Why the reader refused a step, without its list of supported actions."""
    return getattr(error, "detail", None) or str(error)
