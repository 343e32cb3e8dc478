// The page facts keyed by XPath. Given the facts function of one scan, it
// answers for elements the caller already holds ([element, xpath] pairs) and
// for the elements that further XPaths find; an XPath that finds nothing has
// no entry. Each record travels as the list of its values, in key order: a
// large table's facts are mostly key names otherwise.
(facts) => (known, xpaths) => {
  const out = {};
  for (const [el, xpath] of known) if (!(xpath in out)) out[xpath] = Object.values(facts(el));
  for (const xpath of xpaths) {
    if (xpath in out) continue;
    const el = document.evaluate(xpath, document, null, XPathResult.FIRST_ORDERED_NODE_TYPE, null).singleNodeValue;
    if (el !== null && el.nodeType === 1) out[xpath] = Object.values(facts(el));
  }
  return out;
}
