"""What a model's readers and writers log goes where the model's own lines go: to the callable,
else to sys.stdout while log_to_console is on; never around them to the process's output. A
failed read or write says why with the lines logged."""
import errno
import os

import pytest

import veloriumpy as v

ERROR_PREFIX = "ОШИБКА: "


@pytest.fixture
def broken(tmp_path):
    """Files that the readers refuse, and a folder that does not exist."""
    (tmp_path / "broken.lp").write_text("Minimize\n obj: x <\nEnd\n")
    (tmp_path / "broken.mps").write_text("NAME m\nROWS\n N obj\nCOLUMNS\n x obj 1 zz\nENDATA\n")
    return tmp_path


NOT_READ = "Невозможно прочитать файл [{path}]"
NOT_WRITTEN = "Невозможно записать файл [{path}]"
NOT_OPENED = "Невозможно открыть файл {path}: " + os.strerror(errno.ENOENT)

# (operation, file below the fixture's folder, the failure's text, a part of a logged line;
# "{path}" stands for the file's path)
FAILING_OPERATIONS = [
    (lambda m, p: m.read(p), "broken.lp", NOT_READ, "{path}:2: "),
    (lambda m, p: m.read_lp(p), "missing.lp", NOT_READ, NOT_OPENED),
    (lambda m, p: m.read_mps(p), "broken.mps", NOT_READ, "строка 5 MPS файла {path}"),
    (lambda m, p: m.read_mps(p), "missing.mps", NOT_READ, NOT_OPENED),
    (lambda m, p: m.write(p), "no_dir/model.lp", NOT_WRITTEN, NOT_OPENED),
    (lambda m, p: m.write_mps(p), "no_dir/model.mps", NOT_WRITTEN, NOT_OPENED),
    (lambda m, p: m.write_lp(p), "no_dir/model.lp", NOT_WRITTEN, NOT_OPENED),
]
OPERATION_IDS = ["read", "read_lp", "read_mps", "read_mps_missing", "write", "write_mps", "write_lp"]


def error_lines(text):
    """The logged text as its error lines, each checked to be one whole error line."""
    lines = text.splitlines(keepends=True)
    assert lines and all(line.startswith(ERROR_PREFIX) and line.endswith("\n") for line in lines), text
    return [line[len(ERROR_PREFIX):-1] for line in lines]


@pytest.mark.parametrize("operation, name, failure, logged", FAILING_OPERATIONS, ids=OPERATION_IDS)
def test_the_callable_gets_the_lines_and_the_failure_says_why_with_them(model, broken, capfd, operation, name,
                                                                       failure, logged):
    path = str(broken / name)
    lines = []
    model.set_log_callback(lines.append)
    with pytest.raises(v.VeloriumException) as caught:
        operation(model, path)
    assert lines[0] == ""
    reasons = error_lines("".join(lines[1:]))
    assert any(logged.format(path=path) in reason for reason in reasons), lines
    text = str(caught.value)
    assert text.startswith(failure.format(path=path) + ": " + "; ".join(reasons)), text
    assert capfd.readouterr() == ("", "")


@pytest.mark.parametrize("operation, name, failure, logged", FAILING_OPERATIONS, ids=OPERATION_IDS)
def test_without_a_callable_the_lines_go_to_sys_stdout(model, broken, capsys, operation, name, failure, logged):
    path = str(broken / name)
    with pytest.raises(v.VeloriumException):
        operation(model, path)
    printed = capsys.readouterr().out
    assert any(logged.format(path=path) in reason for reason in error_lines(printed)), printed


@pytest.mark.parametrize("operation, name, failure, logged", FAILING_OPERATIONS, ids=OPERATION_IDS)
def test_with_log_to_console_off_nothing_is_printed(quiet_model, broken, capfd, operation, name, failure, logged):
    path = str(broken / name)
    with pytest.raises(v.VeloriumException) as caught:
        operation(quiet_model, path)
    assert str(caught.value).startswith(failure.format(path=path))
    assert capfd.readouterr() == ("", "")


def test_a_callable_that_raises_during_a_read_fails_it_and_leaves_the_model(quiet_model, broken, lp_file):
    quiet_model.read(lp_file)

    def failing(line):
        if line:
            raise ValueError("full")

    quiet_model.set_log_callback(failing)
    with pytest.raises(v.VeloriumException) as caught:
        quiet_model.read(str(broken / "broken.lp"))
    assert type(caught.value.__cause__) is ValueError
    quiet_model.set_log_callback(None)
    written = broken / "again.lp"
    quiet_model.write(str(written))
    assert "c1" in written.read_text()


def test_a_write_by_an_extension_that_chooses_no_format_says_so(quiet_model, tmp_path):
    path = str(tmp_path / "model.txt")
    with pytest.raises(v.VeloriumException) as caught:
        quiet_model.write(path)
    assert str(caught.value) == NOT_WRITTEN.format(path=path) + \
        ": Расширение [.txt] не выбирает формат записи: .lp, .ilp или .mps"
    assert not os.path.exists(path)
