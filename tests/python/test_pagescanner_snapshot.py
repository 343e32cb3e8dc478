"""Snapshots: the file name, the JSON layout byte for byte, the console line,
and files that are either complete or absent."""

import errno
import json
import os
import resource
import signal
import time
from pathlib import Path

import pytest
from hypothesis import HealthCheck, given, settings as hypothesis_settings
from hypothesis import strategies as st

from browser import chromium, page, serve  # noqa: F401
from fakepage import FakePage
from scanpages import scanned, site  # noqa: F401

from vantor.engine import settings
from vantor.engine.browser.pagescanner import PageScanner


@pytest.fixture
def logs(monkeypatch, tmp_path):
    folder = tmp_path / "data" / "logs"
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", True)
    monkeypatch.setattr(settings, "LOG_PATH", str(folder) + os.sep)
    return folder


def expected_json(url, elements, text_elements):
    return json.dumps({"url": url, "elements": elements, "text_elements": text_elements}, indent=2, ensure_ascii=True)


def only_file(folder):
    files = list(folder.iterdir())
    assert len(files) == 1, files
    return files[0]


def test_no_snapshot_unless_the_settings_ask(monkeypatch, tmp_path, capsys):
    for off in (False, 0, "", None):
        monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", off)
        monkeypatch.setattr(settings, "LOG_PATH", str(tmp_path / "logs"))
        PageScanner(FakePage())._save_snapshot([], [])
    assert not (tmp_path / "logs").exists()
    assert capsys.readouterr().out == ""


def test_a_snapshot_file_its_name_and_the_console_line(logs, capsys):
    page = FakePage("https://shop.test/shop/cart?id=7&size=M")
    before = time.strftime("%Y%m%d_%H%M%S")
    PageScanner(page)._save_snapshot([], [])
    after = time.strftime("%Y%m%d_%H%M%S")
    written = only_file(logs)
    stamp, slug = written.name[:15], written.name[16:]
    assert before <= stamp <= after and written.name[15] == "_"
    assert slug == "https_shop.test_shop_cart?id=7&size=M.json"
    path = os.path.join(settings.LOG_PATH, written.name)  # no doubled separator
    assert capsys.readouterr().out == f"  [DOM snapshot saved \u2192 {path}]\n"
    assert written.read_bytes() == expected_json(page.address, [], []).encode("ascii")
    # The url is read once for the name and once for the content.
    assert [c for c in page.calls if c[1] == "url"] == [("page", "url", None)] * 2


@pytest.mark.parametrize("url, slug", [
    ("https://a.test/" + "x" * 80, ("https_a.test_" + "x" * 80)[:60]),
    ("file:///tmp/page.html", "file__tmp_page.html"),
    ("about:blank", "about:blank"),
    ("https://a.test/" + "é" * 70, ("https_a.test_" + "é" * 70)[:60]),  # characters, not bytes
])
def test_url_slugs(logs, url, slug):
    PageScanner(FakePage(url))._save_snapshot([], [])
    assert only_file(logs).name[16:] == slug + ".json"


@pytest.mark.parametrize("on", [True, 1, "yes", 0.5, [0], {"k": 0}])
def test_any_true_value_asks_for_snapshots(monkeypatch, tmp_path, capsys, on):
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", on)
    monkeypatch.setattr(settings, "LOG_PATH", str(tmp_path / "logs"))
    PageScanner(FakePage())._save_snapshot([], [])
    assert only_file(tmp_path / "logs").suffix == ".json"
    assert capsys.readouterr().out.startswith("  [DOM snapshot saved \u2192 ")


def test_a_burst_of_snapshots_keeps_every_one(logs, capsys):
    scanner = PageScanner(FakePage())
    for n in range(7):
        scanner._save_snapshot([{"n": n}], [])
    written = [line[len("  [DOM snapshot saved \u2192 "):-1] for line in capsys.readouterr().out.splitlines()]
    assert len(set(written)) == 7
    # Each line names the file it wrote; within one second the first keeps the plain name.
    by_second = {}
    for n, path in enumerate(written):
        assert json.loads(Path(path).read_text())["elements"] == [{"n": n}]
        by_second.setdefault(Path(path).name[:15], []).append(Path(path).name)
    for names in by_second.values():
        stem = names[0][: -len(".json")]
        assert names == [names[0]] + [f"{stem}-{k}.json" for k in range(2, len(names) + 1)]
    assert sorted(p.name for p in logs.iterdir()) == sorted(Path(p).name for p in written)


def test_a_failed_write_leaves_no_file(logs, monkeypatch):
    logs.mkdir(parents=True)
    cyclic = []
    cyclic.append(cyclic)
    with pytest.raises(ValueError, match="Circular reference detected"):
        PageScanner(FakePage())._save_snapshot([], [cyclic])
    assert list(logs.iterdir()) == []


def test_an_unwritable_folder_fails_and_leaves_nothing(logs):
    logs.mkdir(parents=True)
    os.chmod(logs, 0o500)
    try:
        if os.access(logs, os.W_OK):
            pytest.skip("running as a user who may write anywhere")
        with pytest.raises(PermissionError):
            PageScanner(FakePage())._save_snapshot([], [])
        assert list(logs.iterdir()) == []
    finally:
        os.chmod(logs, 0o700)


def test_log_path_may_be_a_path_object(monkeypatch, tmp_path, capsys):
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", True)
    monkeypatch.setattr(settings, "LOG_PATH", tmp_path / "p")
    PageScanner(FakePage())._save_snapshot([], [])
    written = only_file(tmp_path / "p")
    assert capsys.readouterr().out == f"  [DOM snapshot saved \u2192 {tmp_path / 'p' / written.name}]\n"


json_values = st.recursive(
    st.none() | st.booleans() | st.integers(-2**70, 2**70) | st.floats() | st.text(),
    lambda inner: st.lists(inner, max_size=3) | st.dictionaries(st.text(max_size=5), inner, max_size=3),
    max_leaves=12)


urls = st.text(alphabet=st.characters(blacklist_categories=("Cs",), blacklist_characters="\x00"), max_size=20)


@hypothesis_settings(max_examples=150, suppress_health_check=[HealthCheck.function_scoped_fixture])
@given(st.lists(json_values, max_size=3), st.lists(json_values, max_size=3), urls)
def test_the_layout_is_that_of_json_dumps(logs, elements, text_elements, url):
    for old in logs.glob("*") if logs.exists() else []:
        old.unlink()
    PageScanner(FakePage(url))._save_snapshot(elements, text_elements)
    assert only_file(logs).read_bytes() == expected_json(url, elements, text_elements).encode("ascii")


def test_a_real_scan_is_written_as_json_dumps_writes_it(scanned, logs, capsys):  # noqa: F811
    scanner, elements, text_elements = scanned("text.html")  # may write a snapshot of its own
    capsys.readouterr()
    scanner._save_snapshot(elements, text_elements)
    written = Path(capsys.readouterr().out[len("  [DOM snapshot saved \u2192 "):-2]).read_bytes()
    assert written == expected_json(scanner.page.url, elements, text_elements).encode("ascii")
    assert b"Cr\\u00e8me br\\u00fbl\\u00e9e \\u2014 5 \\u20ac \\u2713 \\ud834\\udd1e" in written
    assert not written.endswith(b"\n")


def test_the_scan_writes_its_own_snapshot(scan_page_fresh, logs):
    scanner = scan_page_fresh("native.html")
    elements, text_elements = scanner.extract_interactable_elements()
    assert only_file(logs).read_bytes() == expected_json(scanner.page.url, elements, text_elements).encode("ascii")
    assert '"elements": []' not in only_file(logs).read_text()


@pytest.fixture
def scan_page_fresh(page, site):  # noqa: F811
    def load(name):
        page.goto(site + name)
        return PageScanner(page)

    return load


def test_an_empty_scan(logs):
    PageScanner(FakePage())._save_snapshot([], [])
    assert '"elements": [],\n  "text_elements": []\n}' in only_file(logs).read_text()


def test_the_settings_are_read_at_every_call(monkeypatch, tmp_path):
    scanner = PageScanner(FakePage())
    monkeypatch.setattr(settings, "SAVE_SNAPSHOTS", True)
    for name in ("one", "two"):
        monkeypatch.setattr(settings, "LOG_PATH", str(tmp_path / name))
        scanner._save_snapshot([], [])
    assert len(list((tmp_path / "one").iterdir())) == len(list((tmp_path / "two").iterdir())) == 1
    assert Path(tmp_path / "one").is_dir()


def test_a_write_that_fails_part_way_leaves_no_partial_file(logs):
    scanner = PageScanner(FakePage())
    scanner._save_snapshot([{"kept": True}], [])
    # A file-size limit makes the write stop part-way, as a full disk would.
    ignored = signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
    soft, hard = resource.getrlimit(resource.RLIMIT_FSIZE)
    resource.setrlimit(resource.RLIMIT_FSIZE, (4096, hard))
    try:
        with pytest.raises(OSError) as raised:
            scanner._save_snapshot([{"lost": True}] * 500, [])
    finally:
        resource.setrlimit(resource.RLIMIT_FSIZE, (soft, hard))
        signal.signal(signal.SIGXFSZ, ignored)
    assert raised.value.errno == errno.EFBIG
    files = list(logs.iterdir())
    assert [f.suffix for f in files] == [".json"]  # no temporary file either
    assert json.loads(files[0].read_text()) == {"url": FakePage().address, "elements": [{"kept": True}],
                                                "text_elements": []}
