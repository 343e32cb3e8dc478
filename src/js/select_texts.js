// The rendered text of each select shown inside an element, in document
// order. A wrapper's rendered text includes its selects' option texts, which
// belong to those controls and are no text of the page's own.
el => Array.from(el.querySelectorAll('select')).filter((s) => s.getClientRects().length > 0).map((s) => s.innerText)
