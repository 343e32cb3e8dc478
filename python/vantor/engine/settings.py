"""Host settings read by the page scanner. A host may replace these values."""

# Save a JSON snapshot of every page scan. The runner sets it from its --snapshots
# option for the length of a run (runner/options.py, scanner_settings).
SAVE_SNAPSHOTS = False
# Directory the snapshots are written to.
LOG_PATH = "data/logs/"
# Read the page one element at a time (tens of browser calls per element)
# instead of in one in-page call; for debugging the scanner. Read at every scan.
PER_ELEMENT_SCAN = False
