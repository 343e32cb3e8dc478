// The positional XPath of an element: one step per element from the root
// down, each the lower-case tag name and the 1-based index among the earlier
// element siblings of the same tag, [1] included (/html[1]/body[1]/div[2]).
el => {
  const steps = [];
  for (let node = el; node && node.nodeType === 1; node = node.parentNode) {
    let index = 1;
    for (let sib = node.previousElementSibling; sib; sib = sib.previousElementSibling) {
      if (sib.tagName === node.tagName) index += 1;
    }
    steps.unshift(node.tagName.toLowerCase() + '[' + index + ']');
  }
  return '/' + steps.join('/');
}
