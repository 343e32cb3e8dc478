// Whether an element is visible and whether it is enabled, answered exactly
// as the browser driver's element handles answer is_visible() and
// is_enabled() for the driver version this package is built against.
// Makes the pair of functions once per scan.
() => {
  const tagOf = (el) => {
    if (typeof el.tagName === 'string') return el.tagName.toUpperCase();
    return el instanceof HTMLFormElement ? 'FORM' : String(el.tagName).toUpperCase();
  };

  // Visible: rendered, not visibility-hidden, and with a non-empty box; an
  // element with display: contents is visible when one of its children is.
  const textNodeHasBox = (node) => {
    const range = node.ownerDocument.createRange();
    range.selectNode(node);
    const rect = range.getBoundingClientRect();
    return rect.width > 0 && rect.height > 0;
  };
  const isVisible = (el) => {
    const view = el.ownerDocument && el.ownerDocument.defaultView;
    const style = view ? view.getComputedStyle(el) : undefined;
    if (!style) return true;
    if (style.display === 'contents') {
      for (let child = el.firstChild; child; child = child.nextSibling) {
        if (child.nodeType === 1 && isVisible(child)) return true;
        if (child.nodeType === 3 && textNodeHasBox(child)) return true;
      }
      return false;
    }
    if (!el.checkVisibility()) return false;
    if (style.visibility !== 'visible') return false;
    const rect = el.getBoundingClientRect();
    return rect.width > 0 && rect.height > 0;
  };

  // Enabled: neither natively disabled (the disabled attribute, a disabled
  // optgroup or fieldset) nor aria-disabled where its role allows it. A
  // label, or what a label wraps, answers for the control it labels.
  const nativeControls = ['BUTTON', 'INPUT', 'SELECT', 'TEXTAREA', 'OPTION', 'OPTGROUP'];
  const inDisabledFieldset = (el) => {
    const fieldset = el.closest('FIELDSET[DISABLED]');
    if (!fieldset) return false;
    const legend = fieldset.querySelector(':scope > LEGEND');
    return !legend || !legend.contains(el);
  };
  const isNativelyDisabled = (el) =>
    nativeControls.includes(tagOf(el)) &&
    (el.hasAttribute('disabled') || (tagOf(el) === 'OPTION' && !!el.closest('OPTGROUP[DISABLED]')) ||
      inDisabledFieldset(el));

  const validRoles = new Set(('alert alertdialog application article banner blockquote button caption cell checkbox ' +
    'code columnheader combobox complementary contentinfo definition deletion dialog directory document emphasis ' +
    'feed figure form generic grid gridcell group heading img insertion link list listbox listitem log main mark ' +
    'marquee math meter menu menubar menuitem menuitemcheckbox menuitemradio navigation none note option paragraph ' +
    'presentation progressbar radio radiogroup region row rowgroup rowheader scrollbar search searchbox separator ' +
    'slider spinbutton status strong subscript superscript switch tab table tablist tabpanel term textbox time ' +
    'timer toolbar tooltip tree treegrid treeitem').split(' '));
  const disablingRoles = new Set(('application button composite gridcell group input link menuitem scrollbar ' +
    'separator tab checkbox columnheader combobox grid listbox menu menubar menuitemcheckbox menuitemradio option ' +
    'radio radiogroup row rowheader searchbox select slider spinbutton switch tablist textbox toolbar tree ' +
    'treegrid treeitem').split(' '));
  const namingRestricted = ['caption', 'code', 'deletion', 'emphasis', 'generic', 'insertion', 'paragraph',
    'presentation', 'strong', 'subscript', 'superscript'];
  const globalAria = [
    ['aria-atomic'], ['aria-busy'], ['aria-controls'], ['aria-current'], ['aria-describedby'], ['aria-details'],
    ['aria-dropeffect'], ['aria-flowto'], ['aria-grabbed'], ['aria-hidden'], ['aria-keyshortcuts'],
    ['aria-label', namingRestricted], ['aria-labelledby', namingRestricted], ['aria-live'], ['aria-owns'],
    ['aria-relevant'], ['aria-roledescription', ['generic']]];
  const hasGlobalAria = (el, role) =>
    globalAria.some(([name, prohibited]) => !(prohibited && prohibited.includes(role || '')) && el.hasAttribute(name));
  const hasTabIndex = (el) => !Number.isNaN(Number(String(el.getAttribute('tabindex'))));
  const isNativelyFocusable = (el) => {
    const tag = tagOf(el);
    if (['BUTTON', 'DETAILS', 'SELECT', 'TEXTAREA'].includes(tag)) return true;
    if (tag === 'A' || tag === 'AREA') return el.hasAttribute('href');
    if (tag === 'INPUT') return !el.hidden;
    return false;
  };
  const isFocusable = (el) => !isNativelyDisabled(el) && (isNativelyFocusable(el) || hasTabIndex(el));
  const resolvesPresentation = (el, role) => hasGlobalAria(el, role) || isFocusable(el);
  const explicitRole = (el) => {
    const roles = (el.getAttribute('role') || '').toLowerCase().split(' ').map((role) => role.trim());
    return roles.find((role) => validRoles.has(role)) || null;
  };

  // The implicit role where it can be one that aria-disabled applies to;
  // every other tag reads as 'other' (or null where it has no role at all).
  const headerCellRole = (el) => {
    const scope = el.getAttribute('scope');
    if (scope === 'col' || scope === 'colgroup') return 'columnheader';
    if (scope === 'row' || scope === 'rowgroup') return 'rowheader';
    const next = el.nextElementSibling;
    const previous = el.previousElementSibling;
    const row = el.parentElement && tagOf(el.parentElement) === 'TR' ? el.parentElement : undefined;
    if (!next && !previous) {
      if (row) {
        const table = row.closest('table');
        if (table && table.rows.length <= 1) return null;
      }
      return 'columnheader';
    }
    const isHeader = (cell) => !!cell && tagOf(cell) === 'TH';
    const isFilledData = (cell) =>
      !!cell && tagOf(cell) === 'TD' && !!((cell.textContent || '').trim() || cell.children.length > 0);
    if (isHeader(next) && isHeader(previous)) return 'columnheader';
    if (isFilledData(next) || isFilledData(previous)) return 'rowheader';
    return 'columnheader';
  };
  const tagRoles = {
    A: (el) => (el.hasAttribute('href') ? 'link' : null),
    AREA: (el) => (el.hasAttribute('href') ? 'link' : null),
    BUTTON: () => 'button',
    DATALIST: () => 'listbox',
    DETAILS: () => 'group',
    FIELDSET: () => 'group',
    FOOTER: () => 'other',
    FORM: () => 'other',
    HEADER: () => 'other',
    HR: () => 'separator',
    IMG: () => 'other',
    INPUT: (el) => (el.type.toLowerCase() === 'hidden' ? null : 'input'),
    OPTGROUP: () => 'group',
    OPTION: () => 'option',
    SECTION: () => 'other',
    SELECT: () => 'listbox',
    TD: (el) => {
      const table = el.closest('table');
      const role = table ? explicitRole(table) : '';
      return role === 'grid' || role === 'treegrid' ? 'gridcell' : 'cell';
    },
    TEXTAREA: () => 'textbox',
    TH: headerCellRole,
    TR: () => 'row',
  };
  const roleless = new Set(['A', 'AREA', 'FOOTER', 'FORM', 'HEADER', 'SECTION']);
  const presentationParents = {
    DD: ['DL', 'DIV'], DIV: ['DL'], DT: ['DL', 'DIV'], LI: ['OL', 'UL'], TBODY: ['TABLE'], TD: ['TR'],
    TFOOT: ['TABLE'], TH: ['TR'], THEAD: ['TABLE'], TR: ['THEAD', 'TBODY', 'TFOOT', 'TABLE'],
  };
  const implicitRole = (el) => {
    const tag = tagOf(el);
    const role = tag in tagRoles ? tagRoles[tag](el) : roleless.has(tag) ? null : 'other';
    if (!role) return null;
    for (let node = el; node;) {
      const parent = node.parentElement;
      const parents = presentationParents[tagOf(node)];
      if (!parents || !parent || !parents.includes(tagOf(parent))) break;
      const parentRole = explicitRole(parent);
      if ((parentRole === 'none' || parentRole === 'presentation') && !resolvesPresentation(parent, parentRole))
        return parentRole;
      node = parent;
    }
    return role;
  };
  const roleOf = (el) => {
    const role = explicitRole(el);
    if (!role) return implicitRole(el);
    if (role === 'none' || role === 'presentation') {
      const implicit = implicitRole(el);
      if (resolvesPresentation(el, implicit)) return implicit;
    }
    return role;
  };
  const ariaDisabledInChain = (el) => {
    for (let node = el; node; node = node.parentElement) {
      const value = (node.getAttribute('aria-disabled') || '').toLowerCase();
      if (value === 'true') return true;
      if (value === 'false') return false;
    }
    return false;
  };
  // Every input but a hidden one has a role that aria-disabled applies to.
  const hasAriaDisabled = (el) => ariaDisabledInChain(el) && disablingRoles.has(roleOf(el) || '');
  const labelledControl = (el) => {
    if (!el.matches('input, textarea, select') && !el.isContentEditable)
      el = el.closest('button, [role=button], [role=checkbox], [role=radio]') || el;
    if (!el.matches('a, input, textarea, button, select, option, optgroup, [role=link], [role=button], ' +
        '[role=checkbox], [role=radio]') && !el.isContentEditable) {
      const label = el.closest('label');
      if (label && label.control) el = label.control;
    }
    return el;
  };
  const isEnabled = (el) => {
    const control = labelledControl(el);
    return !(isNativelyDisabled(control) || hasAriaDisabled(control));
  };

  return { isVisible, isEnabled };
}
