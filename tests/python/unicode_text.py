"""Hypothesis strategies for text that stresses Unicode handling."""

from hypothesis import strategies as st

# Characters whose handling differs most easily from Python's: whitespace of
# every kind, case mappings that change length or depend on context, quotes
# and backslashes, controls and format characters, and astral characters.
TRICKY = (
    " \t\n\r\x0b\x0c\x1c\x1d\x1e\x1f\x85\xa0\u1680\u2000\u2028\u2029\u202f\u205f\u3000"
    "\u200b\ufeff\u00ad\x00\x7f\x9f"
    "\u03a3\u03c3\u03c2\u0130\u0131\u212a\u212b\u1e9e\u00df\u01c5\u1f88"
    "\u0301\u0345\u02b0.:'\"\\"
    "\U0001d400\U0001f600\U000e0001\U0010ffff\ud800\udfff"
    "AaZz09\u0663\u00b9\u2460"
)

any_char = st.characters(exclude_categories=())  # every code point, surrogates included
tricky_char = st.sampled_from(TRICKY)
text = st.text(st.one_of(any_char, tricky_char, tricky_char), max_size=40)
