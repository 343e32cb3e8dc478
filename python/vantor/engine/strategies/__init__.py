"""Resolution strategies: text matching (textmatcher) and the spatial entry point (layoutmatcher)."""
