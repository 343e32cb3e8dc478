// Everything one scan reads from the page, gathered in a single call so the
// scan costs one round trip. The scan's rules then run unchanged against this
// record (src/core/scan/recorded_page.cpp); what the record leaves out, the
// recorded page asks the live page, so leaving out costs time, never a
// different result. Each query below follows its rule's order of reads and
// records only what the rule goes on to read.
//
// Answers with the record as a JSON text:
//   elements: one entry per element any query found or a label look-up met,
//     with the answers the rules read: v visible, e enabled, t rendered text
//     (n true instead for an element outside HTML, whose text cannot be
//     read), a attributes as [name, value, ...] in the element's order, b box
//     [x, y, width, height] or null, or 'live' when only the driver can
//     measure it, and the results of the element scripts under the keys of
//     `keys` below (the keys of failing ones listed in f);
//   queries: selector to the indices of the elements it matches, in order;
//   lookups: [kind, text, index] for the label look-ups of the fields: kind
//     '#' the element with that id, 'for' the label for that id; index -1
//     when nothing matches, -2 when the query fails;
//   cursor: the pointer-cursor items, or cursor_error when that script fails;
//     cursor_negative_zeros [index, key] for the coordinates that are -0;
//   facts: when collectFacts is given, the page facts keyed by XPath;
//   unsupported: a reason this page cannot be recorded faithfully: an open
//     shadow root, which the per-element queries pierce; content whose
//     rendering content-visibility skips, whose geometry (and that of what
//     holds it) depends on the order of the calls that bring it up to date.
(state, box, rules, selectors, textOnly, collectFacts) => {
  // A page that replaced the built-ins the record walks with (old libraries
  // do) would get a record that looks whole but misses elements: such a page
  // is read element by element, through the driver's own calls.
  const nativeCode = /\{\s*\[native code\]\s*\}\s*$/;
  const native = (f) => typeof f === 'function' && nativeCode.test(Function.prototype.toString.call(f));
  const walkedWith = [document.querySelectorAll, Document.prototype.querySelectorAll,
    Element.prototype.querySelectorAll, NodeList.prototype[Symbol.iterator], Array.from, Array.prototype.push];
  if (!walkedWith.every(native)) return JSON.stringify({ unsupported: 'patched built-ins' });
  for (const el of document.querySelectorAll('*')) {
    if (el.shadowRoot) return JSON.stringify({ unsupported: 'shadow root' });
    if (getComputedStyle(el).contentVisibility !== 'visible') return JSON.stringify({ unsupported: 'content-visibility' });
  }
  const elements = [];
  const indexOf = new Map();
  const entry = (el) => {
    let index = indexOf.get(el);
    if (index === undefined) {
      index = elements.length;
      indexOf.set(el, index);
      elements.push({});
    }
    return elements[index];
  };

  // Each answer is read once per element, when a rule first needs it.
  const visible = (record, el) => (record.v === undefined ? (record.v = state.isVisible(el)) : record.v);
  const enabled = (record, el) => (record.e === undefined ? (record.e = state.isEnabled(el)) : record.e);
  const boxOf = (record, el) => (record.b === undefined ? (record.b = box(el)) : record.b);
  const hasArea = (b) => b === 'live' || (b !== null && b[2] > 0 && b[3] > 0);
  // The rendered text; null when it cannot be read (the rule drops the element).
  const text = (record, el) => {
    if (record.t === undefined && !record.n) {
      if (el.namespaceURI === 'http://www.w3.org/1999/xhtml') record.t = el.innerText;
      else record.n = true;
    }
    return record.n ? null : record.t;
  };
  const attributes = (record, el) => {
    if (record.a === undefined) {
      record.a = [];
      for (const attribute of el.attributes) record.a.push(attribute.name, attribute.value);
    }
  };
  const blank = (value) => value === null || value.trim() === '';
  // An element script's result; undefined when it failed. Results are kept
  // under one-letter keys: the record is mostly these, for every element.
  const keys = { tag_name: 'g', data_attributes: 'd', has_direct_text: 'h', previous_sibling_text: 'p',
    parent_text: 'q', wrapping_label_text: 'w', select_texts: 's' };
  const run = (record, name, el) => {
    const key = keys[name];
    if (!(key in record) && !(record.f && record.f.includes(key))) {
      try {
        const result = rules[name](el);
        record[key] = result === undefined ? null : result;
      } catch (error) {
        (record.f = record.f || []).push(key);
      }
    }
    return record[key];
  };

  // Positional XPaths, each built on its parent's: the same steps as the
  // xpath script, without walking the same siblings again for every element.
  const paths = new Map();
  const siblingIndex = new Map();
  const indexAmongSiblings = (node) => {
    let index = siblingIndex.get(node);
    if (index === undefined) {
      const counts = new Map();
      for (let sib = node.parentNode ? node.parentNode.firstElementChild : node; sib; sib = sib.nextElementSibling) {
        const count = (counts.get(sib.tagName) || 0) + 1;
        counts.set(sib.tagName, count);
        siblingIndex.set(sib, count);
      }
      index = siblingIndex.get(node);
      if (index === undefined) {
        // Not among its parent's element children (no parent): count by hand.
        index = 1;
        for (let sib = node.previousElementSibling; sib; sib = sib.previousElementSibling) {
          if (sib.tagName === node.tagName) index += 1;
        }
        siblingIndex.set(node, index);
      }
    }
    return index;
  };
  // Up to the nearest ancestor whose path is known, then down again. No element
  // lies deeper than the document has elements: a longer walk goes round a
  // cycle (a page that redefines parentNode), and the element has no XPath.
  const depthBound = document.getElementsByTagName('*').length + 1;
  const pathOf = (node) => {
    const chain = [];
    let above = node;
    while (above && above.nodeType === 1 && !paths.has(above)) {
      if (chain.length > depthBound) return null;
      chain.push(above);
      above = above.parentNode;
    }
    let path = above && above.nodeType === 1 ? paths.get(above) : '';
    for (let i = chain.length - 1; i >= 0; i -= 1) {
      path = path + '/' + chain[i].tagName.toLowerCase() + '[' + indexAmongSiblings(chain[i]) + ']';
      paths.set(chain[i], path);
    }
    return path;
  };
  const xpath = (record, el) => {
    if ('x' in record || (record.f && record.f.includes('x'))) return;
    const path = pathOf(el);
    if (path === null) (record.f = record.f || []).push('x');
    else record.x = path;
  };

  // The label look-ups of a field: the elements its aria-labelledby names
  // and the label for its id.
  const lookups = [];
  const looked = new Set();
  const cssString = (value) => {
    let out = '"';
    for (const ch of value) {
      const code = ch.codePointAt(0);
      if (code === 0) out += '\uFFFD';
      else if ((code >= 1 && code <= 0x1f) || code === 0x7f) out += '\\' + code.toString(16) + ' ';
      else if (ch === '"' || ch === '\\') out += '\\' + ch;
      else out += ch;
    }
    return out + '"';
  };
  const lookUp = (kind, value, selector) => {
    const key = kind + ' ' + value;
    if (looked.has(key)) return;
    looked.add(key);
    let index = -1;
    try {
      const found = document.querySelector(selector());
      if (found !== null) {
        text(entry(found), found);
        index = indexOf.get(found);
      }
    } catch (error) {
      index = -2;
    }
    lookups.push([kind, value, index]);
  };
  // The label sources in the label rule's order: aria-label, the elements
  // aria-labelledby names, the label for the id, placeholder, title, then
  // the scripts; a non-blank attribute ends the reading.
  const field = (record, el) => {
    attributes(record, el);
    if (!blank(el.getAttribute('aria-label'))) return;
    const ids = el.getAttribute('aria-labelledby');
    if (ids) {
      for (const id of ids.split(/[ \t\n\f\r]+/)) if (id) lookUp('#', id, () => '#' + CSS.escape(id));
    }
    const id = el.getAttribute('id');
    if (id) lookUp('for', id, () => 'label[for=' + cssString(id) + ']');
    if (!blank(el.getAttribute('placeholder')) || !blank(el.getAttribute('title'))) return;
    for (const name of ['previous_sibling_text', 'parent_text', 'wrapping_label_text']) run(record, name, el);
  };

  const queries = {};
  const query = (selector, read) => {
    const found = [];
    for (const el of document.querySelectorAll(selector)) {
      read(entry(el), el);
      found.push(indexOf.get(el));
    }
    queries[selector] = found;
  };
  const answer = {};
  if (!textOnly) {
    // A native control: state, tag, text (else the value attribute), box;
    // a hidden one counts only with an aria-label or a title.
    query(selectors.interactable, (record, el) => {
      visible(record, el);
      enabled(record, el);
      const tag = run(record, 'tag_name', el);
      if (tag === undefined || text(record, el) === null) return;
      attributes(record, el);
      if (!hasArea(boxOf(record, el))) return;
      if (!record.v && !el.getAttribute('aria-label') && !el.getAttribute('title')) return;
      run(record, 'data_attributes', el);
      xpath(record, el);
      if (tag === 'input' || tag === 'textarea') field(record, el);
    });
    // A custom input: tag and classes decide, then box, visibility, XPath.
    query(selectors.custom_input, (record, el) => {
      const tag = run(record, 'tag_name', el);
      if (tag === undefined) return;
      attributes(record, el);
      const classes = (el.getAttribute('class') || '').toLowerCase();
      if (['input', 'textarea', 'select'].includes(tag)) return;
      if (!classes.includes('editable') && !classes.includes('input')) return;
      if (!hasArea(boxOf(record, el)) || !visible(record, el)) return;
      xpath(record, el);
      if (text(record, el) === null) return;
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
    // A label candidate: visible, its text and its box.
    query(selectors.label_candidate, (record, el) => {
      if (!visible(record, el) || text(record, el) === null) return;
      boxOf(record, el);
    });
  }
  // A text element: visible, with text and a box; then its tag, XPath,
  // attributes and whether it has text of its own.
  query(selectors.text, (record, el) => {
    if (!visible(record, el)) return;
    const own = text(record, el);
    if (own === null || own.trim() === '' || boxOf(record, el) === null) return;
    run(record, 'tag_name', el);
    xpath(record, el);
    attributes(record, el);
    run(record, 'data_attributes', el);
    if (!run(record, 'has_direct_text', el)) run(record, 'select_texts', el);
  });
  // The page facts, when asked for: of every element given an XPath, and of
  // the pointer-cursor items, whose XPaths their script made.
  if (collectFacts) {
    const known = [];
    indexOf.forEach((index, el) => {
      if ('x' in elements[index]) known.push([el, elements[index].x]);
    });
    answer.facts = collectFacts(known, Array.isArray(answer.cursor) ? answer.cursor.map((item) => item.xpath) : []);
  }
  answer.elements = elements;
  answer.queries = queries;
  answer.lookups = lookups;
  return JSON.stringify(answer);
}
