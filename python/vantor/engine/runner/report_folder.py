"""Each script's report folder: named after the script, and never another script's.

A folder remembers which script it belongs to (in SCRIPT_MARK); a second
script with the same name, from another folder, gets the name with -2, -3, ...
"""

import re
from pathlib import Path

SCRIPT_MARK = ".script"


def folder_name(script_path):
    return re.sub(r"[^\w.-]+", "_", Path(script_path).stem) or "script"


def script_report_folder(root, script_path):
    owner = str(Path(script_path).resolve())
    base = folder_name(script_path)
    for number in range(1, 1000):
        folder = Path(root) / (base if number == 1 else f"{base}-{number}")
        mark = folder / SCRIPT_MARK
        if not mark.exists() or mark.read_text(encoding="utf-8").strip() == owner:
            folder.mkdir(parents=True, exist_ok=True)
            mark.write_text(owner + "\n", encoding="utf-8")
            return folder.resolve()
    raise RuntimeError(f"too many scripts named {base} under {root}")
