// The lower-case tag name of an element.
el => el.tagName.toLowerCase()
