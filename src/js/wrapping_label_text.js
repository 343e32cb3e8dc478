// The text of the nearest label element that wraps the field
// (<label>Email <input></label>), without the text of the form controls
// inside it (a select's options) and of what renders nothing; whitespace
// runs read as one space. Only a text shorter than 50 counts.
el => {
  const label = el.parentElement === null ? null : el.parentElement.closest('label');
  if (label === null) return null;
  const controls = ['input', 'select', 'textarea', 'button'];
  const rendersNothing = SHARED(renders_nothing);
  const pieces = [];
  const gather = (node) => {
    for (const child of node.childNodes) {
      if (child.nodeType === 3) pieces.push(child.textContent);
      else if (child.nodeType === 1 && !controls.includes(child.localName) && !rendersNothing(child)) gather(child);
    }
  };
  gather(label);
  const text = pieces.join('').replace(/\s+/g, ' ').trim();
  return text.length > 0 && text.length < 50 ? text : null;
}
