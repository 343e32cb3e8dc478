// Whether an element renders nothing a person could read as a label: script,
// style and template elements, and anything with display none. Written into
// the scripts that name it as SHARED(renders_nothing) when they are embedded.
(node) =>
    ['script', 'style', 'template'].includes(node.localName) || window.getComputedStyle(node).display === 'none'
