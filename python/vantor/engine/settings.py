"""Host settings read by the page scanner. A host may replace these values."""

# Save a JSON snapshot of every page scan.
SAVE_SNAPSHOTS = False
# Directory the snapshots are written to.
LOG_PATH = "data/logs/"
