// The label a field's earlier siblings give it, nearest first: a sibling's
// own text, else the text of its first child, when shorter than 50. Siblings
// that render nothing (script, style, template, display none) are passed
// over; the walk ends at a sibling that is or holds another form control,
// whose text belongs to that control.
el => {
  const controls = 'input, select, textarea, button';
  const rendersNothing = SHARED(renders_nothing);
  for (let sib = el.previousElementSibling; sib; sib = sib.previousElementSibling) {
    if (rendersNothing(sib)) continue;
    if (sib.matches(controls) || sib.querySelector(controls) !== null) return null;
    const direct = Array.from(sib.childNodes)
      .filter((n) => n.nodeType === 3)
      .map((n) => n.textContent.trim())
      .filter((t) => t.length > 0)
      .join(' ');
    if (direct.length > 0 && direct.length < 50) return direct;
    const first = sib.firstElementChild;
    if (first !== null && !rendersNothing(first)) {
      const text = first.textContent.trim();
      if (text.length > 0 && text.length < 50) return text;
    }
  }
  return null;
}
