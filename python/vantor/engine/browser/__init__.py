"""Page element extraction (pagescanner)."""
