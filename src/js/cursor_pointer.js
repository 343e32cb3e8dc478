// Small div, span, li and td elements that show a pointer cursor: clickable
// cells, menu entries and chips that are no native control. One call gathers
// all of them, each with its text, positional XPath and rounded box.
() => {
  // No element lies deeper than the document has elements: a longer walk goes
  // round a cycle (a page that redefines parentNode), and the element is left out.
  const depthBound = document.getElementsByTagName('*').length + 1;
  const xpathOf = (el) => {
    const steps = [];
    let bound = depthBound;
    for (let node = el; node && node.nodeType === 1; node = node.parentNode) {
      if (--bound < 0) return null;
      let index = 1;
      for (let sib = node.previousElementSibling; sib; sib = sib.previousElementSibling) {
        if (sib.tagName === node.tagName) index += 1;
      }
      steps.unshift(node.tagName.toLowerCase() + '[' + index + ']');
    }
    return '/' + steps.join('/');
  };
  const found = [];
  const emitted = new Set();
  for (const el of document.querySelectorAll('div, span, li, td')) {
    if (window.getComputedStyle(el).cursor !== 'pointer') continue;
    const text = (el.innerText || '').trim();
    if (text.length === 0 || text.length > 60) continue;
    if (el.querySelectorAll('*').length > 10) continue;
    const rect = el.getBoundingClientRect();
    if (rect.width <= 0 || rect.height <= 0) continue;
    const xpath = xpathOf(el);
    if (xpath === null || emitted.has(xpath)) continue;
    emitted.add(xpath);
    found.push({
      tag: el.tagName.toLowerCase(),
      text: text,
      xpath: xpath,
      x: Math.round(rect.x),
      y: Math.round(rect.y),
      w: Math.round(rect.width),
      h: Math.round(rect.height),
      cls: typeof el.className === 'string' ? el.className : '',
      aria: el.getAttribute('aria-label') || '',
    });
  }
  return found;
}
