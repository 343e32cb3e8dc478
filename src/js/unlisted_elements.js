// The elements people name by role that the scan does not list: widgets made
// of divs and spans that say what they are (role="slider", role="switch"...)
// and the header cells of tables, whose text is often all inside a sort
// button. Each comes as a descriptor in the text elements' shape; an element
// that is not rendered, or has no area, is left out. The scan's own lists are
// only known once its rules have run, so the caller drops those it lists.
(xpathOf) => () => {
  const NAMED_BY_ROLE = ['slider', 'switch', 'tab', 'checkbox', 'radio', 'combobox', 'option', 'menuitem',
    'menuitemcheckbox', 'menuitemradio', 'spinbutton', 'searchbox', 'textbox', 'button', 'link', 'treeitem',
    'columnheader', 'rowheader'].map((role) => `[role=${role}]`).join(', ');
  const found = [];
  for (const el of document.querySelectorAll(NAMED_BY_ROLE + ', th')) {
    if (!el.checkVisibility({ visibilityProperty: true })) continue;
    const rect = el.getBoundingClientRect();
    if (rect.width <= 0 || rect.height <= 0) continue;
    const attributes = {};
    for (const attribute of el.attributes) attributes[attribute.name] = attribute.value;
    found.push({
      tag: el.tagName.toLowerCase(),
      text: el.innerText || '',
      has_direct_text: Array.from(el.childNodes).some((n) => n.nodeType === 3 && n.textContent.trim() !== ''),
      attributes,
      bounding_box: { x: rect.x + 0, y: rect.y + 0, width: rect.width, height: rect.height },
      is_visible: true,
      is_enabled: !(el.disabled === true || el.getAttribute('aria-disabled') === 'true'),
      xpath: xpathOf(el),
    });
  }
  return found;
}
