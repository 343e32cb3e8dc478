"""The runner's files are written whole or not at all."""

import os
import stat

import pytest

from vantor.engine.runner.files import write_whole


def test_a_new_file_gets_its_folder_and_the_mode_open_would_give_it(tmp_path):
    path = write_whole(tmp_path / "out" / "deeper" / "index.html", "<p>é</p>\n")
    assert path.read_bytes() == "<p>é</p>\n".encode("utf-8")
    mask = os.umask(0)
    os.umask(mask)
    assert stat.S_IMODE(path.stat().st_mode) == 0o666 & ~mask


def test_a_write_that_fails_keeps_the_earlier_file_and_leaves_no_temporary_one(tmp_path):
    path = write_whole(tmp_path / "report.html", "first")
    with pytest.raises(UnicodeEncodeError):
        write_whole(path, "half \ud800 written")  # a lone surrogate cannot be written as UTF-8
    assert path.read_text() == "first"
    assert os.listdir(tmp_path) == ["report.html"]
