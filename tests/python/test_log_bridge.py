"""A model's log lines: to the Python callable, to sys.stdout, or nowhere; and what a callable
that raises does to the operation that was logging."""
import gc
import sys
import threading
import weakref

import pytest

import veloriumpy as v


def reject_option(model):
    """An operation that logs one line and fails: the option refuses the value 5."""
    with pytest.raises(v.VeloriumException, match=r"^Ошибка изменения параметра \[remote_timeout\]$"):
        model.set_int_param("remote_timeout", 5)


def is_rejection(line):
    return "remote_timeout" in line and "[5]" in line and line.endswith("\n")


def test_the_callable_is_tried_with_an_empty_line_then_gets_every_line(model, capsys):
    lines = []
    model.set_log_callback(lines.append)
    assert lines == [""]
    reject_option(model)
    assert len(lines) == 2 and is_rejection(lines[1])
    model.set_log_callback(lines.append)
    reject_option(model)
    assert lines[2] == "" and is_rejection(lines[3]) and len(lines) == 4
    assert capsys.readouterr().out == ""


@pytest.mark.parametrize("bad_callable, error", [(42, TypeError), (lambda line: 1 / 0, ZeroDivisionError)])
def test_a_callable_that_fails_its_first_call_leaves_the_earlier_one_in_place(model, bad_callable, error):
    lines = []
    model.set_log_callback(lines.append)
    with pytest.raises(error):
        model.set_log_callback(bad_callable)
    reject_option(model)
    assert len(lines) == 2 and is_rejection(lines[1])


def test_without_a_callable_lines_go_to_stdout_exactly_unless_log_to_console_is_off(model, capsys):
    lines = []
    model.set_log_callback(lines.append)
    model.set_log_callback(None)
    model.set_log_callback(None)
    reject_option(model)
    printed = capsys.readouterr().out
    assert is_rejection(printed) and printed.count("\n") == 1
    assert lines == [""]

    model.set_bool_param("log_display_systime", False)
    reject_option(model)
    assert is_rejection(capsys.readouterr().out)

    model.set_bool_param("log_to_console", False)
    reject_option(model)
    assert capsys.readouterr().out == ""
    model.set_bool_param("log_display_systime", False)
    model.set_int_param("threads", 2)
    reject_option(model)
    assert capsys.readouterr().out == ""


def test_a_callable_that_raises_fails_the_operation_with_its_error_as_cause(model):
    calls = []

    def failing(line):
        calls.append(line)
        if line:
            raise ValueError("no room for " + line[:6])

    model.set_log_callback(failing)
    with pytest.raises(v.VeloriumException) as caught:
        model.set_int_param("remote_timeout", 5)
    assert str(caught.value) == "ValueError: no room for " + calls[1][:6]
    assert type(caught.value.__cause__) is ValueError
    assert caught.value.__cause__.__traceback__ is not None
    assert sys.exc_info() == (None, None, None)
    # The callable stays installed; an operation that logs nothing is not touched by it.
    assert model.get_int_param("remote_timeout") > 0
    with pytest.raises(v.VeloriumException, match="^ValueError"):
        model.set_int_param("remote_timeout", 5)


def test_keyboard_interrupt_in_the_callable_stays_a_keyboard_interrupt(model):
    def interrupted(line):
        if line:
            raise KeyboardInterrupt

    model.set_log_callback(interrupted)
    with pytest.raises(KeyboardInterrupt):
        model.set_int_param("remote_timeout", 5)
    assert model.get_int_param("threads") >= 0


def test_lines_logged_on_another_thread_reach_the_callable(model):
    lines = []
    model.set_log_callback(lines.append)
    worker = threading.Thread(target=lambda: pytest.raises(v.VeloriumException, model.set_int_param,
                                                           "remote_timeout", 5))
    worker.start()
    worker.join()
    assert len(lines) == 2 and is_rejection(lines[1])


def test_the_model_holds_its_callable_until_it_is_removed(model):
    class Sink:
        def __call__(self, line):
            pass

    sink = Sink()
    alive = weakref.ref(sink)
    model.set_log_callback(sink)
    del sink
    assert alive() is not None
    model.set_log_callback(None)
    gc.collect()
    assert alive() is None
