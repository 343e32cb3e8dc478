"""Helpers shared by the reporter's tests: a reporter with a fixed start time
and chosen records, and what a call printed."""

import contextlib
import io

from vantor.engine.agent.reporter import Reporter

STARTED = "2024-05-01 09:03:07"


def reporter_with(results=()):
    reporter = Reporter()
    reporter._started_at = STARTED
    reporter.results.extend(results)
    return reporter


def printed(call, *args, **kwargs):
    """What the call wrote to sys.stdout (any str, lone surrogates included)."""
    out = io.StringIO()
    with contextlib.redirect_stdout(out):
        call(*args, **kwargs)
    return out.getvalue()
