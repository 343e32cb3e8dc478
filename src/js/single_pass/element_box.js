// The box of an element as the browser driver's bounding_box() gives it:
// the border box in viewport CSS pixels, [x, y, width, height], or null when
// the element is not laid out (display: none, or inside such an element).
// The driver's box spans every fragment of the element that has a width or
// a height (getBoundingClientRect() leaves out those lacking either); when
// none has, it is the first fragment. Where the driver measures in finer
// steps than a layout unit (1/64 px: transforms, zoom) the page cannot
// reproduce its float values, and the answer is 'live': ask the driver. On the
// layout grid the page's numbers are the driver's, on pages measured up to
// 3 million px tall (long feeds and tables), so the bound lies beyond that.
// Makes the function once per scan.
() => {
  const exact = (value) => Number.isInteger(value * 64) && Math.abs(value) < 4194304;
  return (el) => {
    const rects = el.getClientRects();
    if (rects.length === 0) return null;
    let left = Infinity, top = Infinity, right = -Infinity, bottom = -Infinity;
    const spanned = Array.from(rects).filter((rect) => rect.width > 0 || rect.height > 0);
    for (const rect of spanned.length > 0 ? spanned : [rects[0]]) {
      left = Math.min(left, rect.x);
      top = Math.min(top, rect.y);
      right = Math.max(right, rect.x + rect.width);
      bottom = Math.max(bottom, rect.y + rect.height);
    }
    if (![left, top, right, bottom].every(exact)) return 'live';
    // + 0 turns a negative zero into the zero the driver reports.
    return [left + 0, top + 0, right - left + 0, bottom - top + 0];
  };
}
