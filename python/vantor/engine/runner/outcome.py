"""What one step did, as a plain record the console, the reports and CI output all read."""

from dataclasses import asdict, dataclass, field

PASSED = "passed"
FAILED = "failed"
SKIPPED = "skipped"  # left out by --stop-on-failure
NOT_RUN = "not run"  # the run was interrupted before it


@dataclass
class ElementSeen:
    tag: str
    text: str
    label: str
    xpath: str

    @classmethod
    def of(cls, descriptor):
        if not descriptor:
            return None
        attributes = descriptor.get("attributes") or {}
        return cls(tag=descriptor.get("tag", ""), text=descriptor.get("text") or "",
                   label=attributes.get("_label", "") if isinstance(attributes, dict) else "",
                   xpath=descriptor.get("xpath", ""))

    def describe(self, limit=40):
        parts = [f"<{self.tag or '?'}>"]
        if self.text:
            parts.append(repr(cut(self.text, limit)))
        if self.label and self.label != self.text:
            parts.append(f"label={cut(self.label, limit)!r}")
        return " ".join(parts)


@dataclass
class Candidate:
    element: ElementSeen
    matched: list  # "text: sign in", "label: ...", "aria-label: ..."

    def describe(self):
        return f"{self.element.describe()} matched {', '.join(self.matched)}"


@dataclass
class StepOutcome:
    line: int
    text: str
    status: str
    action: str = ""
    strategy: str = ""
    element: ElementSeen | None = None
    extracted: str | None = None
    reason: str = ""
    candidates: list = field(default_factory=list)
    screenshot: str = ""  # path of the failure screenshot, relative to the report folder
    duration_ms: int = 0
    waited_ms: int = 0  # of the duration: waiting for the page to load and settle
    attempts: int = 0
    rule: str = ""  # why the deciding strategy chose the element, when it says
    ambiguous: bool = False  # several elements matched equally; the first in reading order was used

    @property
    def passed(self):
        return self.status == PASSED

    def as_record(self):
        return asdict(self)


def cut(text, limit):
    text = " ".join(str(text).split())
    return text if len(text) <= limit else text[: limit - 1] + "…"
