// The positional XPath of an element: one step per element from the root
// down, each the lower-case tag name and the 1-based index among the earlier
// element siblings of the same tag, [1] included (/html[1]/body[1]/div[2]).
// A page that redefines parentNode can make the walk go round for ever; no
// element lies deeper than the document has elements, so a longer walk is a
// cycle, and such an element has no XPath (reading it fails, which drops it).
el => {
  const steps = [];
  let bound = document.getElementsByTagName('*').length + 1;
  for (let node = el; node && node.nodeType === 1; node = node.parentNode) {
    if (--bound < 0) throw new Error('no positional XPath: the parents of the element go round in a cycle');
    let index = 1;
    for (let sib = node.previousElementSibling; sib; sib = sib.previousElementSibling) {
      if (sib.tagName === node.tagName) index += 1;
    }
    steps.unshift(node.tagName.toLowerCase() + '[' + index + ']');
  }
  return '/' + steps.join('/');
}
