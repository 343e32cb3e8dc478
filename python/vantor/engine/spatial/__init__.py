"""The spatial matrix (gridmaker) and its resolution (gridseeker)."""
