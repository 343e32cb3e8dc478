"""Dealing scripts to CI machines, and joining what the machines ran.

`--shard INDEX/TOTAL` keeps the scripts whose place in the sorted list of
paths, counted from 1, leaves INDEX when divided by TOTAL (TOTAL when it
divides): every machine of a matrix of TOTAL runs its own share, the same on
every run, and together they run each script once. `merge` joins the JSON
results the shards wrote (`--json`) into one file and one index page.
"""

import html
import json
import os
from pathlib import Path

from vantor.engine.runner.files import write_whole


class ShardError(ValueError):
    pass


def parse_shard(text):
    """'2/4' -> (2, 4); INDEX from 1 to TOTAL."""
    index, slash, total = str(text).partition("/")
    if not slash or not index.strip().isdigit() or not total.strip().isdigit():
        raise ShardError(f"a shard is INDEX/TOTAL, such as 1/4, not {text!r}")
    index, total = int(index), int(total)
    if total < 1 or not 1 <= index <= total:
        raise ShardError(f"a shard's INDEX goes from 1 to TOTAL: {text!r}")
    return index, total


def deal(paths, index, total, key=lambda path: Path(path).as_posix()):
    """The share of shard INDEX of TOTAL, in the paths' own order; dealt by sorted path."""
    ordered = sorted(paths, key=key)
    mine = {id(path) for place, path in enumerate(ordered) if place % total == index - 1}
    return [path for path in paths if id(path) in mine]


def merge(result_files, json_path, index_path=None):
    """Joins the shards' JSON results into json_path, and writes an index page linking
    every script's report; returns the joined records."""
    records = []
    for result_file in result_files:
        records.extend(json.loads(Path(result_file).read_text(encoding="utf-8")))
    records.sort(key=lambda record: record["script"])
    write_whole(json_path, json.dumps(records, indent=2, ensure_ascii=False) + "\n")
    if index_path is not None:
        write_index(records, Path(index_path))
    return records


def write_index(records, index_path):
    rows = []
    for record in records:
        counts = record["counts"]
        report = record.get("report")
        link = html.escape(os.path.relpath(report, index_path.parent)) if report else ""
        name = html.escape(Path(record["script"]).name)
        cell = f'<a href="{link}">{name}</a>' if link else name
        rows.append(f"<tr><td>{cell}</td><td>{record['exit_code']}</td><td>{counts.get('passed', 0)}</td>"
                    f"<td>{counts.get('failed', 0)}</td></tr>")
    passed = sum(1 for record in records if record["exit_code"] == 0)
    write_whole(
        index_path,
        "<!doctype html><html><head><meta charset='utf-8'><title>Scripts</title></head><body>"
        f"<h1>{passed} of {len(records)} scripts passed</h1><table><tr><th>script</th><th>exit</th>"
        f"<th>passed steps</th><th>failed steps</th></tr>{''.join(rows)}</table></body></html>\n")
