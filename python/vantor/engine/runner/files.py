"""The runner's own files (reports, indexes, CI output) are written whole or
not at all: to a temporary file beside the target, then renamed over it, so a
reader or a crash never meets half a page."""

import os
import tempfile
from pathlib import Path


def write_whole(path, text):
    """Writes the text (UTF-8) to path, making its folder when missing; returns the path."""
    path = Path(path)
    path.parent.mkdir(parents=True, exist_ok=True)
    descriptor, temporary = tempfile.mkstemp(prefix=f".{path.name}.", suffix=".tmp", dir=path.parent)
    try:
        with open(descriptor, "w", encoding="utf-8") as file:
            file.write(text)
            file.flush()
            os.fsync(file.fileno())
        os.chmod(temporary, 0o666 & ~_umask())
        os.replace(temporary, path)
    except BaseException:
        Path(temporary).unlink(missing_ok=True)
        raise
    return path


def _umask():
    """The process's umask (mkstemp makes its file 0600; the target gets what open() would give it)."""
    mask = os.umask(0)
    os.umask(mask)
    return mask
