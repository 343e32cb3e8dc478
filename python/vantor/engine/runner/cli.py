"""The command line: python -m vantor.engine run SCRIPT... --url URL."""

import argparse
import sys
from importlib import metadata

from pathlib import Path

from vantor.engine.runner.options import DEFAULT_REPORT_ROOT, DEFAULT_TIMEOUT_MS, RunOptions
from vantor.engine.runner.policy import POLICIES
from vantor.engine.runner.run import BAD_INPUT, run_script
from vantor.engine.runner.script import ScriptError, find_scripts
from vantor.engine.runner.shard import ShardError, deal, parse_shard

EXIT_CODES = """exit codes:
  0  every step passed
  1  a step failed
  2  bad input: a usage error, or a script missing, unreadable or with malformed steps (nothing ran)
  3  no browser could be started, or the start page could not be opened
  130  interrupted (Ctrl-C): the steps done are reported, the rest marked not run"""


def version():
    try:
        return metadata.version("vantor-engine")
    except metadata.PackageNotFoundError:
        return "unknown"


def build_parser():
    parser = argparse.ArgumentParser(
        prog="python -m vantor.engine",
        description="Runs plain-English test scripts in a real browser, or checks how their steps read.",
        epilog=EXIT_CODES, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--version", action="version", version=f"vantor.engine {version()}")
    commands = parser.add_subparsers(dest="command", required=True, metavar="COMMAND")

    run = commands.add_parser(
        "run", help="run scripts in a browser", epilog=EXIT_CODES,
        formatter_class=argparse.RawDescriptionHelpFormatter,
        description="Runs each step of the scripts in Chromium. Each script's report, with screenshots of "
                    "failed steps, goes to data/reports/<script>/report.html; the reporter's page to "
                    "data/reports/report.html (with several scripts: data/runs/<script>/data/reports/report.html, "
                    "and data/runs/index.html links every script's report).")
    run.add_argument("scripts", nargs="+", metavar="SCRIPT", help="a script file (one step per line) or a folder of .steps files")
    run.add_argument("--url", required=True, help="the start page: an http(s) URL, or a local file or folder served on 127.0.0.1")
    run.add_argument("--headed", action="store_true", help="show the browser window instead of running headless")
    run.add_argument("--browser-path", metavar="PATH", help="the Chromium to launch (default: /usr/bin/chromium when present, else Playwright's own)")
    run.add_argument("--connect", metavar="WS_ENDPOINT", help="drive a remote Playwright browser server instead of a local Chromium")
    run.add_argument("--workers", type=positive_int, default=1, metavar="N", help="run up to N scripts at once, each in its own process (default 1)")
    run.add_argument("--snapshots", action="store_true", help="save a JSON snapshot of every page scan (data/logs/)")
    run.add_argument("--stop-on-failure", action="store_true", help="stop a script at its first failing step")
    run.add_argument("--timeout", type=positive_int, default=DEFAULT_TIMEOUT_MS, metavar="MS",
                     help="how long a step may wait for its element or for its check to hold (default 5000 ms)")
    run.add_argument("--serve-host", default="127.0.0.1", metavar="ADDRESS",
                     help="the address a local --url folder is served on (default 127.0.0.1); "
                          "with --connect, one the remote browser can reach")
    run.add_argument("--strategies", choices=POLICIES, default=RunOptions.strategies,
                     help="how elements are found: 'role' tries the role-and-name matcher first, then text "
                          "matching and spatial; 'text' uses text matching, then spatial (default %(default)s)")
    run.add_argument("--shard", metavar="INDEX/TOTAL",
                     help="run only this machine's share of the scripts, dealt by sorted path (CI matrices)")
    run.add_argument("--junit", metavar="PATH", help="also write JUnit XML: one testcase per script")
    run.add_argument("--json", metavar="PATH", help="also write every step's outcome as JSON")

    merge = commands.add_parser("merge", help="join the --json results of several shards into one file and index")
    merge.add_argument("results", nargs="+", metavar="RESULTS_JSON")
    merge.add_argument("--json", required=True, metavar="PATH", help="the joined results")
    merge.add_argument("--index", metavar="PATH", help="also an HTML page linking every script's report")

    check = commands.add_parser("check", help="show how each step of the scripts reads, without a browser")
    check.add_argument("scripts", nargs="+", metavar="SCRIPT")

    server = commands.add_parser(
        "browser-server", help="serve Chromium for run --connect until Ctrl-C",
        description="Starts a Playwright browser server with a local Chromium and prints its ws:// endpoint.")
    server.add_argument("--browser-path", default="/usr/bin/chromium", metavar="PATH", help="the Chromium to serve")
    server.add_argument("--host", default="127.0.0.1", help="the address to listen on (default 127.0.0.1)")
    server.add_argument("--port", type=int, default=0, help="the port to listen on (default: any free port)")
    return parser


def positive_int(text):
    try:
        value = int(text)
    except ValueError:
        raise argparse.ArgumentTypeError(f"not a whole number: {text!r}") from None
    if value < 1:
        raise argparse.ArgumentTypeError(f"must be 1 or more: {text}")
    return value


def main(argv=None):
    args = build_parser().parse_args(argv)
    if args.command == "browser-server":
        from vantor.engine.runner.browser_server import serve

        return serve(args.browser_path, args.host, args.port)
    if args.command == "merge":
        return merge_results(args)
    try:
        scripts = find_scripts(args.scripts)
        if getattr(args, "shard", None):
            index, total = parse_shard(args.shard)
            scripts = deal(scripts, index, total)
    except (ScriptError, ShardError) as error:
        print(f"error: {error}", file=sys.stderr)
        return BAD_INPUT
    if not scripts:
        print(f"Shard {args.shard} has no scripts to run.", flush=True)
        return 0
    if args.command == "check":
        from vantor.engine.runner.show import show_scripts

        return show_scripts(scripts)
    options = RunOptions(url=args.url, browser_path=args.browser_path, headed=args.headed, connect=args.connect,
                         snapshots=args.snapshots, stop_on_failure=args.stop_on_failure, timeout_ms=args.timeout,
                         report_root=DEFAULT_REPORT_ROOT, serve_host=args.serve_host,
                         strategies=args.strategies, workers=min(args.workers, len(scripts))).resolved()
    if len(scripts) == 1:
        results = [run_script(scripts[0], options)]
    else:
        from vantor.engine.runner.parallel import run_many

        results = run_many(scripts, options)
    write_ci_output(results, args)
    codes = [result.code for result in results]
    return 130 if 130 in codes else max(codes)


def merge_results(args):
    from vantor.engine.runner.shard import merge

    try:
        records = merge(args.results, Path(args.json), Path(args.index) if args.index else None)
    except (OSError, ValueError, KeyError) as error:
        print(f"error: cannot merge: {error}", file=sys.stderr)
        return BAD_INPUT
    print(f"Merged {len(records)} script results: {Path(args.json).resolve()}", flush=True)
    return 0


def write_ci_output(results, args):
    from vantor.engine.runner.ci_output import write_json, write_junit

    if args.junit:
        write_junit(results, Path(args.junit))
        print(f"JUnit XML: {Path(args.junit).resolve()}", flush=True)
    if args.json:
        write_json(results, Path(args.json))
        print(f"JSON outcomes: {Path(args.json).resolve()}", flush=True)
