// Everything one scan reads from the page, gathered in a single call so the
// scan costs one round trip. The scan's rules then run unchanged against this
// record (src/core/scan/recorded_page.cpp). Answers to the record as a JSON
// text:
//   elements: one entry per element any query found or a label look-up met:
//     v visible, t rendered text (absent when reading it fails: the element
//     is no HTML element), n true for such an element, a attributes as
//     [name, value, ...] in the element's order, b box [x, y, width, height]
//     or null, or 'live' when only the driver can measure it; and, where the scan's rules read them, e enabled and the
//     results of the element scripts under their names (failing ones listed
//     in f);
//   queries: selector to the indices of the elements it matches, in order;
//   lookups: [kind, text, index] for the label look-ups of the fields: kind
//     '#' the element with that id, 'for' the label for that id; index -1
//     when nothing matches, -2 when the query fails;
//   cursor: the pointer-cursor items, or cursor_error when that script fails;
//     cursor_negative_zeros [index, key] for the coordinates that are -0;
//   unsupported: a reason this page cannot be recorded faithfully (an open
//     shadow root, which the per-element queries pierce).
(state, box, rules, selectors, textOnly) => {
  for (const el of document.querySelectorAll('*')) {
    if (el.shadowRoot) return JSON.stringify({ unsupported: 'shadow root' });
  }
  const { isVisible, isEnabled } = state;
  const elements = [];
  const indexOf = new Map();
  const entry = (el) => {
    let index = indexOf.get(el);
    if (index === undefined) {
      index = elements.length;
      indexOf.set(el, index);
      const record = { v: isVisible(el), a: [], b: box(el) };
      for (const attribute of el.attributes) record.a.push(attribute.name, attribute.value);
      if (el.namespaceURI === 'http://www.w3.org/1999/xhtml') record.t = el.innerText;
      else record.n = true;
      elements.push(record);
    }
    return elements[index];
  };
  const run = (record, name, el) => {
    if (name in record || (record.f && record.f.includes(name))) return;
    try {
      const result = rules[name](el);
      record[name] = result === undefined ? null : result;
    } catch (error) {
      (record.f = record.f || []).push(name);
    }
  };

  // The label look-ups of a field: the elements its aria-labelledby names
  // and the label for its id.
  const lookups = [];
  const looked = new Set();
  const cssString = (text) => {
    let out = '"';
    for (const ch of text) {
      const code = ch.codePointAt(0);
      if (code === 0) out += '\uFFFD';
      else if ((code >= 1 && code <= 0x1f) || code === 0x7f) out += '\\' + code.toString(16) + ' ';
      else if (ch === '"' || ch === '\\') out += '\\' + ch;
      else out += ch;
    }
    return out + '"';
  };
  const lookUp = (kind, text, selector) => {
    const key = kind + ' ' + text;
    if (looked.has(key)) return;
    looked.add(key);
    let index = -1;
    try {
      const found = document.querySelector(selector());
      if (found !== null) {
        entry(found);
        index = indexOf.get(found);
      }
    } catch (error) {
      index = -2;
    }
    lookups.push([kind, text, index]);
  };
  const field = (record, el) => {
    for (const name of ['previous_sibling_text', 'parent_text', 'wrapping_label_text']) run(record, name, el);
    const ids = el.getAttribute('aria-labelledby');
    if (ids) {
      for (const id of ids.split(/[ \t\n\f\r]+/)) if (id) lookUp('#', id, () => '#' + CSS.escape(id));
    }
    const id = el.getAttribute('id');
    if (id) lookUp('for', id, () => 'label[for=' + cssString(id) + ']');
  };

  const queries = {};
  const query = (selector, read) => {
    const found = [];
    for (const el of document.querySelectorAll(selector)) {
      const record = entry(el);
      read(record, el);
      found.push(indexOf.get(el));
    }
    queries[selector] = found;
  };
  const answer = {};
  if (!textOnly) {
    query(selectors.interactable, (record, el) => {
      record.e = isEnabled(el);
      for (const name of ['tag_name', 'data_attributes', 'xpath']) run(record, name, el);
      if (record.tag_name === 'input' || record.tag_name === 'textarea') field(record, el);
    });
    query(selectors.custom_input, (record, el) => {
      for (const name of ['tag_name', 'xpath']) run(record, name, el);
      field(record, el);
    });
    try {
      answer.cursor = rules.cursor_pointer();
      // JSON has no negative zero; a rounded coordinate can be one.
      answer.cursor_negative_zeros = [];
      answer.cursor.forEach((item, index) => {
        for (const key of ['x', 'y', 'w', 'h']) if (Object.is(item[key], -0)) answer.cursor_negative_zeros.push([index, key]);
      });
    } catch (error) {
      answer.cursor_error = String(error);
    }
    query(selectors.label_candidate, () => {});
  }
  query(selectors.text, (record, el) => {
    for (const name of ['tag_name', 'xpath', 'data_attributes', 'has_direct_text']) run(record, name, el);
  });
  answer.elements = elements;
  answer.queries = queries;
  answer.lookups = lookups;
  return JSON.stringify(answer);
}
