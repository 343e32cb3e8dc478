import importlib
import os
import sys
from pathlib import Path

import pytest

ROOT = Path(__file__).resolve().parents[2]
# Shared helpers of the tests (browser.py) import by their plain names.
sys.path.insert(0, str(Path(__file__).resolve().parent))
# Where the test build puts the text probe module (see scripts/test).
PROBE_DIR = Path(os.environ.get("VANTOR_PROBE_DIR", ROOT / "build" / "tests" / "tests" / "probe"))


@pytest.fixture(scope="session")
def probe():
    """The core's text operations and value conversions, exposed for comparison with Python."""
    sys.path.insert(0, str(PROBE_DIR))
    try:
        return importlib.import_module("_textprobe")
    except ImportError as error:
        pytest.fail(f"the text probe module is not built in {PROBE_DIR}: {error}")
    finally:
        sys.path.remove(str(PROBE_DIR))


@pytest.fixture(scope="session")
def reader():
    from vantor.engine.agent.stepreader import StepReader

    return StepReader()


@pytest.fixture
def in_tmp(tmp_path, monkeypatch):
    """The test runs in an empty working directory of its own (files the reporter writes land there)."""
    monkeypatch.chdir(tmp_path)
    return tmp_path
