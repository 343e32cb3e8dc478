// The box of an element as the browser driver's bounding_box() gives it:
// the border box in viewport CSS pixels, [x, y, width, height], or null when
// the element is not laid out (display: none, or inside such an element).
el => {
  if (el.getClientRects().length === 0) return null;
  const rect = el.getBoundingClientRect();
  // + 0 turns a negative zero into the zero the driver reports.
  return [rect.x + 0, rect.y + 0, rect.width + 0, rect.height + 0];
}
