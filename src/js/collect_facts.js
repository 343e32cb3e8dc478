// The page facts keyed by XPath. Given the maker of the facts function (one
// per scan), it answers for elements the caller already holds ([element,
// xpath] pairs) and for the elements that further XPaths find; an XPath that
// finds nothing has no entry. Each record travels as the list of its values,
// in key order: a large table's facts are mostly key names otherwise. A page
// whose own scripts break the facts (a built-in replaced) loses the facts of
// the elements concerned, never the scan they travel with.
//
// Under "unlisted" (no XPath is that word) come the descriptors of the
// elements named by role, with their facts.
(makeFacts, unlistedOf, xpathOf) => (known, xpaths) => {
  const out = {};
  let facts;
  try {
    facts = makeFacts();
  } catch (error) {
    return out;
  }
  const add = (el, xpath) => {
    try {
      out[xpath] = Object.values(facts(el));
    } catch (error) {
      delete out[xpath];
    }
  };
  const find = (xpath) => {
    try {
      return document.evaluate(xpath, document, null, XPathResult.FIRST_ORDERED_NODE_TYPE, null).singleNodeValue;
    } catch (error) {
      return null;  // an XPath this document cannot evaluate
    }
  };
  try {
    for (const [el, xpath] of known) if (!(xpath in out)) add(el, xpath);
    for (const xpath of xpaths) {
      if (xpath in out) continue;
      const el = find(xpath);
      if (el !== null && el.nodeType === 1) add(el, xpath);
    }
  } catch (error) {
    // the facts gathered so far stand
  }
  try {
    const unlisted = unlistedOf(xpathOf)();
    for (const descriptor of unlisted) if (!(descriptor.xpath in out)) add(find(descriptor.xpath), descriptor.xpath);
    out.unlisted = unlisted.filter((descriptor) => descriptor.xpath in out);
  } catch (error) {
    // the listed elements' facts stand
  }
  return out;
}
