// What an accessibility tree holds about an element: role, accessible name
// (and which source gave it), the label, states, the value shown and where it
// sits in a table. Called with no arguments it returns the function that
// answers for one element; that function keeps its caches (computed styles,
// names of subtrees, table grids) for the whole scan, so naming every element
// of a page reads each node about once. The page must not change between the
// calls of one scan.
() => {
  const ROLES = new Set(('alert alertdialog application article banner blockquote button caption cell checkbox ' +
    'code columnheader combobox complementary contentinfo definition deletion dialog directory document emphasis ' +
    'feed figure form generic grid gridcell group heading img insertion link list listbox listitem log main mark ' +
    'marquee math menu menubar menuitem menuitemcheckbox menuitemradio meter navigation none note option ' +
    'paragraph presentation progressbar radio radiogroup region row rowgroup rowheader scrollbar search ' +
    'searchbox separator slider spinbutton status strong subscript superscript switch tab table tablist tabpanel ' +
    'term textbox time timer toolbar tooltip tree treegrid treeitem').split(' '));
  // Roles whose name comes from their content when nothing names them otherwise.
  const FROM_CONTENT = new Set(('button cell checkbox columnheader gridcell heading link menuitem menuitemcheckbox ' +
    'menuitemradio option radio row rowheader switch tab tooltip treeitem').split(' '));
  const TEXT_INPUTS = new Set(['text', 'email', 'tel', 'url', 'password', 'date', 'datetime-local', 'month',
    'week', 'time']);
  const BUTTON_INPUTS = new Set(['button', 'submit', 'reset', 'image']);
  const LABELABLE = new Set(['INPUT', 'SELECT', 'TEXTAREA', 'BUTTON', 'METER', 'OUTPUT', 'PROGRESS']);
  const TABLES = 'table, [role=table], [role=grid], [role=treegrid]';
  const ROLE_CELLS = '[role=cell], [role=gridcell], [role=columnheader], [role=rowheader]';

  const collapse = (text) => text.replace(/\s+/g, ' ').trim();
  const styles = new Map();
  const style = (el) => {
    let found = styles.get(el);
    if (found === undefined) styles.set(el, (found = getComputedStyle(el)));
    return found;
  };
  const isHtml = (el) => el.namespaceURI === 'http://www.w3.org/1999/xhtml';
  // Left out of names unless a hidden element is named on purpose (aria-labelledby).
  const prunedFromNames = (el) => style(el).display === 'none' || el.getAttribute('aria-hidden') === 'true';
  const isHiddenAnywhere = (el) =>
    !el.checkVisibility({ visibilityProperty: true }) || el.closest('[aria-hidden="true"]') !== null;

  const inputType = (el) => (el.getAttribute('type') || 'text').trim().toLowerCase();
  const implicitRole = (el) => {
    const tag = el.tagName;
    switch (tag) {
      case 'A': case 'AREA': return el.hasAttribute('href') ? 'link' : '';
      case 'BUTTON': case 'SUMMARY': return 'button';
      case 'INPUT': {
        const type = inputType(el);
        if (BUTTON_INPUTS.has(type)) return 'button';
        if (type === 'checkbox' || type === 'radio') return type;
        if (type === 'range') return 'slider';
        if (type === 'number') return 'spinbutton';
        if (type === 'search') return el.hasAttribute('list') ? 'combobox' : 'searchbox';
        if (TEXT_INPUTS.has(type) || !['hidden', 'file', 'color'].includes(type)) {
          return el.hasAttribute('list') && type !== 'password' ? 'combobox' : 'textbox';
        }
        return '';
      }
      case 'SELECT': return el.multiple || el.size > 1 ? 'listbox' : 'combobox';
      case 'TEXTAREA': return 'textbox';
      case 'OPTION': return 'option';
      case 'IMG': return el.getAttribute('alt') === '' ? '' : 'img';
      case 'H1': case 'H2': case 'H3': case 'H4': case 'H5': case 'H6': return 'heading';
      case 'TH': return (el.getAttribute('scope') || '').toLowerCase() === 'row' ? 'rowheader' : 'columnheader';
      case 'TD': return el.closest('table, [role=grid], [role=treegrid]')?.getAttribute('role') === 'grid' ? 'gridcell' : 'cell';
      case 'TR': return 'row';
      case 'LI': return 'listitem';
      case 'UL': case 'OL': return 'list';
      case 'TABLE': return 'table';
      case 'NAV': return 'navigation';
      case 'MAIN': return 'main';
      case 'DIALOG': return 'dialog';
      case 'FIELDSET': return 'group';
      case 'PROGRESS': return 'progressbar';
      case 'METER': return 'meter';
      case 'HR': return 'separator';
      case 'ARTICLE': return 'article';
      case 'ASIDE': return 'complementary';
      default: return el.isContentEditable === true && el.parentElement?.isContentEditable !== true ? 'textbox' : '';
    }
  };
  const roles = new Map();
  const roleOf = (el) => {
    let role = roles.get(el);
    if (role === undefined) {
      const first = (el.getAttribute('role') || '').trim().toLowerCase().split(/\s+/)[0];
      role = ROLES.has(first) ? first : implicitRole(el);
      roles.set(el, role);
    }
    return role;
  };

  const selectedText = (select) =>
    Array.from(select.selectedOptions, (option) => collapse(option.label || option.text)).join(', ');
  // What a control inside a label or a content name says: its value.
  const embeddedValue = (el) => {
    if (el.tagName === 'SELECT') return selectedText(el);
    if (el.tagName === 'TEXTAREA') return el.value;
    if (el.tagName === 'INPUT') {
      const type = inputType(el);
      if (TEXT_INPUTS.has(type) && type !== 'password') return el.value;
      if (['search', 'number', 'range'].includes(type)) return el.value;
    }
    const role = roleOf(el);
    if (role === 'textbox' && el.isContentEditable) return el.innerText;
    if (role === 'slider' || role === 'spinbutton') return el.getAttribute('aria-valuetext') || el.getAttribute('aria-valuenow') || '';
    return null;
  };
  const svgTitle = (el) => {
    for (const child of el.children) if (child.tagName.toLowerCase() === 'title') return child.textContent;
    return '';
  };

  // The text alternative of a node met inside a name: ctx.hidden names hidden
  // parts too, ctx.referenced stops aria-labelledby from being followed again,
  // ctx.skip is the control a label is naming (its own text stays out),
  // ctx.nested marks a node met inside another's content.
  const plain = [new Map(), new Map()];
  const alternative = (el, ctx) => {
    if (el === ctx.skip) return '';
    if (!ctx.hidden && prunedFromNames(el)) return '';
    const cache = ctx.hidden || ctx.skip || !ctx.nested ? null : plain[ctx.referenced ? 1 : 0];
    if (cache && cache.has(el)) return cache.get(el);
    const text = computeAlternative(el, ctx);
    if (cache) cache.set(el, text);
    return text;
  };
  const labelledBy = (el) => {
    const texts = [];
    for (const id of (el.getAttribute('aria-labelledby') || '').split(/\s+/)) {
      const ref = id ? document.getElementById(id) : null;
      if (ref) texts.push(alternative(ref, { hidden: isHiddenAnywhere(ref), referenced: true, skip: null }));
    }
    return texts.length ? collapse(texts.join(' ')) : null;
  };
  const computeAlternative = (el, ctx) => {
    if (!ctx.referenced && el.hasAttribute('aria-labelledby')) {
      const text = labelledBy(el);
      if (text !== null && text !== '') return text;
    }
    // A control inside a name says its value, before its own aria-label.
    const value = embeddedValue(el);
    if (value !== null && ctx.nested) return value;
    const ariaLabel = collapse(el.getAttribute('aria-label') || '');
    if (ariaLabel) return ariaLabel;
    if (value !== null) return value;
    if (!isHtml(el)) return el.tagName.toLowerCase() === 'svg' ? svgTitle(el) : contentOf(el, ctx);
    if (el.tagName === 'IMG' || el.tagName === 'AREA' || (el.tagName === 'INPUT' && inputType(el) === 'image')) {
      const alt = el.getAttribute('alt');
      if (alt !== null) return alt;
    }
    if (el.tagName === 'INPUT') {
      if (BUTTON_INPUTS.has(inputType(el))) return buttonValue(el);
      return el.getAttribute('title') || '';
    }
    const content = contentOf(el, ctx);
    return content.trim() ? content : el.getAttribute('title') || '';
  };
  // The content of an element, kept when no label or hidden part bends it: an
  // element's own name and the name of what holds it (a row, its cells) share it.
  const contents = new Map();
  const contentOf = (el, ctx) => {
    const plainContent = !ctx.hidden && !ctx.skip && !ctx.referenced;
    if (plainContent && contents.has(el)) return contents.get(el);
    const text = readContent(el, ctx);
    if (plainContent) contents.set(el, text);
    return text;
  };
  const readContent = (el, ctx) => {
    const inner = { hidden: ctx.hidden, referenced: ctx.referenced, skip: ctx.skip, nested: true };
    let text = '';
    const visibleText = ctx.hidden || style(el).visibility === 'visible';
    for (let node = el.firstChild; node; node = node.nextSibling) {
      if (node.nodeType === 3) {
        if (visibleText) text += node.data;
      } else if (node.nodeType === 1) {
        if (node.tagName === 'BR') {
          text += ' ';
          continue;
        }
        const part = alternative(node, inner);
        const inline = !isHtml(node) || style(node).display.startsWith('inline');
        text += inline ? part : ' ' + part + ' ';
      }
    }
    return text;
  };
  const buttonValue = (el) => {
    const type = inputType(el);
    if (el.hasAttribute('value')) return el.value;
    return type === 'submit' ? 'Submit' : type === 'reset' ? 'Reset' : '';
  };
  const labelText = (el) => {
    if (!LABELABLE.has(el.tagName) || !el.labels) return '';
    const texts = [];
    for (const label of el.labels) texts.push(contentOf(label, { hidden: false, referenced: false, skip: el }));
    return collapse(texts.join(' '));
  };

  // The name of the element itself and the source that gave it.
  const nameOf = (el, role, label) => {
    if (el.hasAttribute('aria-labelledby')) {
      const text = labelledBy(el);
      if (text) return [text, 'labelledby'];
    }
    const ariaLabel = collapse(el.getAttribute('aria-label') || '');
    if (ariaLabel) return [ariaLabel, 'aria-label'];
    if (label) return [label, 'label'];
    const tag = el.tagName;
    if (tag === 'IMG' || tag === 'AREA' || (tag === 'INPUT' && inputType(el) === 'image')) {
      const alt = collapse(el.getAttribute('alt') || '');
      if (alt) return [alt, 'alt'];
    }
    if (tag === 'INPUT' && BUTTON_INPUTS.has(inputType(el)) && inputType(el) !== 'image') {
      const value = collapse(buttonValue(el));
      if (value) return [value, 'content'];
    }
    if (tag === 'FIELDSET' || tag === 'TABLE') {
      const caption = el.querySelector(tag === 'TABLE' ? ':scope > caption' : ':scope > legend');
      if (caption) {
        const text = collapse(alternative(caption, { hidden: false, referenced: false, skip: null }));
        if (text) return [text, 'content'];
      }
    }
    if (!isHtml(el) && tag.toLowerCase() === 'svg') {
      const title = collapse(svgTitle(el));
      if (title) return [title, 'content'];
    } else if (FROM_CONTENT.has(role)) {
      const text = collapse(contentOf(el, { hidden: false, referenced: false, skip: null }));
      if (text) return [text, 'content'];
    }
    const title = collapse(el.getAttribute('title') || '');
    if (title) return [title, 'title'];
    const placeholder = collapse(el.getAttribute('placeholder') || '');
    if (placeholder) return [placeholder, 'placeholder'];
    return ['', ''];
  };

  const ariaBool = (el, name) => {
    const value = el.getAttribute(name);
    return value === 'true' ? true : value === 'false' ? false : null;
  };
  const checkedOf = (el, role) => {
    if (!['checkbox', 'radio', 'switch', 'menuitemcheckbox', 'menuitemradio'].includes(role)) return null;
    if (el.tagName === 'INPUT' && ['checkbox', 'radio'].includes(inputType(el))) {
      return el.indeterminate ? null : el.checked;
    }
    const aria = el.getAttribute('aria-checked');
    return aria === 'mixed' ? null : aria === 'true';
  };
  const selectedOf = (el, role) => {
    if (el.tagName === 'OPTION') return el.selected;
    const aria = ariaBool(el, 'aria-selected');
    if (aria !== null) return aria;
    return role === 'tab' || role === 'option' ? false : null;
  };
  const expandedOf = (el, role) => {
    const aria = ariaBool(el, 'aria-expanded');
    if (aria !== null) return aria;
    if (el.tagName === 'SUMMARY' && el.parentElement?.tagName === 'DETAILS') return el.parentElement.open;
    return role === 'combobox' && el.tagName !== 'SELECT' ? false : null;
  };
  const disabledOf = (el) =>
    (typeof el.matches === 'function' && el.matches(':disabled')) || el.closest('[aria-disabled="true"]') !== null;
  const readonlyOf = (el) =>
    ((el.tagName === 'INPUT' || el.tagName === 'TEXTAREA') && el.readOnly) || el.getAttribute('aria-readonly') === 'true';
  const requiredOf = (el) => el.required === true || el.getAttribute('aria-required') === 'true';
  const valueOf = (el, role) => {
    if (el.tagName === 'INPUT') {
      const type = inputType(el);
      if (type === 'password' || type === 'checkbox' || type === 'radio' || type === 'hidden') return null;
      return BUTTON_INPUTS.has(type) ? null : el.value;
    }
    if (el.tagName === 'SELECT') return selectedText(el);
    if (el.tagName === 'TEXTAREA') return el.value;
    if (role === 'textbox' && el.isContentEditable) return el.innerText;
    return null;
  };
  const testIdOf = (el) => {
    for (const name of ['data-testid', 'data-test', 'data-test-id', 'data-qa']) {
      const value = el.getAttribute(name);
      if (value !== null) return value;
    }
    return '';
  };

  // Tables: their index in the page, and per table its rows, the column of
  // each cell (spans counted) and the header text of each column.
  let tableIndex = null;
  const grids = new Map();
  const closestTable = (el) => el.closest(TABLES);
  const headerText = (cell) => collapse(alternative(cell, { hidden: false, referenced: false, skip: null }));
  const gridOf = (table) => {
    let grid = grids.get(table);
    if (grid !== undefined) return grid;
    grid = { rows: new Map(), columns: new Map(), headers: null, rowHeaders: new Map() };
    const native = table.tagName === 'TABLE';
    const rows = native
      ? Array.from(table.rows)
      : Array.from(table.querySelectorAll('[role=row]')).filter((row) => closestTable(row) === table);
    const taken = [];  // per row, the columns that spanning cells above already fill
    let headerRow = -1;
    rows.forEach((row, r) => {
      grid.rows.set(row, r);
      const cells = native
        ? Array.from(row.cells)
        : Array.from(row.querySelectorAll(ROLE_CELLS)).filter((cell) => cell.closest('[role=row]') === row);
      const filled = taken[r] || (taken[r] = new Set());
      let column = 0;
      let allHeaders = cells.length > 0;
      let anyHeader = false;
      for (const cell of cells) {
        while (filled.has(column)) column += 1;
        grid.columns.set(cell, column);
        const span = native ? Math.max(1, cell.colSpan) : 1;
        const down = native ? Math.max(1, cell.rowSpan) : 1;
        for (let below = 1; below < down && r + below < rows.length; below += 1) {
          const set = taken[r + below] || (taken[r + below] = new Set());
          for (let c = column; c < column + span; c += 1) set.add(c);
        }
        const role = roleOf(cell);
        if (role === 'columnheader') anyHeader = true;
        else allHeaders = false;
        if (role === 'rowheader' && !grid.rowHeaders.has(row)) grid.rowHeaders.set(row, cell);
        column += span;
      }
      const inHead = native && row.parentElement && row.parentElement.tagName === 'THEAD';
      if (headerRow < 0 && (inHead || (native ? allHeaders : anyHeader))) headerRow = r;
    });
    grid.headerRow = headerRow >= 0 ? rows[headerRow] : null;
    grids.set(table, grid);
    return grid;
  };
  const columnHeader = (grid, column) => {
    if (grid.headerRow === null) return null;
    if (grid.headers === null) {
      grid.headers = new Map();
      const cells = grid.headerRow.tagName === 'TR'
        ? Array.from(grid.headerRow.cells)
        : Array.from(grid.headerRow.querySelectorAll(ROLE_CELLS)).filter((c) => c.closest('[role=row]') === grid.headerRow);
      for (const cell of cells) {
        const first = grid.columns.get(cell);
        const span = cell.tagName === 'TH' || cell.tagName === 'TD' ? Math.max(1, cell.colSpan) : 1;
        const text = headerText(cell);
        for (let c = first; c < first + span; c += 1) grid.headers.set(c, text);
      }
    }
    return grid.headers.has(column) ? grid.headers.get(column) : null;
  };
  const tableContext = (el) => {
    const context = { table: null, row: null, column: null, column_header: null, row_header: null };
    const table = closestTable(el);
    if (table === null) return context;
    if (tableIndex === null) {
      tableIndex = new Map();
      document.querySelectorAll(TABLES).forEach((t, i) => tableIndex.set(t, i));
    }
    context.table = tableIndex.has(table) ? tableIndex.get(table) : null;
    const grid = gridOf(table);
    const row = table.tagName === 'TABLE' ? el.closest('tr') : el.closest('[role=row]');
    if (row === null || !grid.rows.has(row)) return context;
    context.row = grid.rows.get(row);
    const rowHeader = grid.rowHeaders.get(row);
    if (rowHeader) context.row_header = headerText(rowHeader);
    const cell = table.tagName === 'TABLE' ? el.closest('td, th') : el.closest(ROLE_CELLS);
    if (cell === null || !grid.columns.has(cell)) return context;
    context.column = grid.columns.get(cell);
    context.column_header = columnHeader(grid, context.column);
    return context;
  };

  return (el) => {
    const role = roleOf(el);
    const label = labelText(el);
    const [name, nameFrom] = nameOf(el, role, label);
    const where = tableContext(el);
    return {
      role: role,
      name: name,
      name_from: nameFrom,
      label: label,
      placeholder: el.getAttribute('placeholder') || '',
      title: el.getAttribute('title') || '',
      alt: el.getAttribute('alt') || '',
      testid: testIdOf(el),
      checked: checkedOf(el, role),
      selected: selectedOf(el, role),
      expanded: expandedOf(el, role),
      disabled: disabledOf(el),
      readonly: readonlyOf(el),
      required: requiredOf(el),
      value: valueOf(el, role),
      table: where.table,
      row: where.row,
      column: where.column,
      column_header: where.column_header,
      row_header: where.row_header,
    };
  };
}
