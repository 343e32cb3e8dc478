// The label a field's parent gives it: the whole text of the first earlier
// child (farthest from the field first) that is shorter than 50. Only the
// children after the last one that is or holds another form control count,
// and children that render nothing (script, style, template, display none)
// are passed over.
el => {
  const parent = el.parentElement;
  if (parent === null) return null;
  const controls = 'input, select, textarea, button';
  const rendersNothing = SHARED(renders_nothing);
  let earlier = [];
  for (const child of parent.children) {
    if (child === el) break;
    if (rendersNothing(child)) continue;
    if (child.matches(controls) || child.querySelector(controls) !== null) earlier = [];
    else earlier.push(child);
  }
  for (const child of earlier) {
    const text = child.textContent.trim();
    if (text.length > 0 && text.length < 50) return text;
  }
  return null;
}
