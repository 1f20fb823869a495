"""VeloriumException: the class, and the library's failures arriving as it with their text."""
import re

import pytest

import veloriumpy as v

LOCAL_SOLVE = "Локальное решение моделей не предусмотрено в данной версии."


def test_the_class():
    cls = v.VeloriumException
    assert cls.__bases__ == (Exception,)
    assert (cls.__module__, cls.__name__, cls.__qualname__) == ("veloriumpy", "VeloriumException", "VeloriumException")
    assert cls.__doc__ is None


def test_a_library_failure_carries_the_catalogue_text_and_nothing_else(model):
    with pytest.raises(v.VeloriumException) as caught:
        model.solve()
    assert str(caught.value) == LOCAL_SOLVE
    assert caught.value.args == (LOCAL_SOLVE,)
    assert not hasattr(caught.value, "code")


@pytest.mark.parametrize("call, text", [
    (lambda m: m.get_int_param("nope"), re.escape("Ошибка получения параметра [nope]")),
    (lambda m: m.get_int_param("log_to_console"), re.escape("Ошибка получения параметра [log_to_console]")),
    (lambda m: m.set_dbl_param("время", 1.0), re.escape("Ошибка изменения параметра [время]")),
    (lambda m: m.set_int_param("remote_timeout", 5), re.escape("Ошибка изменения параметра [remote_timeout]")),
    (lambda m: m.read("/nonexistent/folder/model.lp"),
     re.escape("Невозможно прочитать файл [/nonexistent/folder/model.lp]: ") + ".*/nonexistent/folder/model.lp.*"),
])
def test_failures_arrive_with_the_librarys_text(quiet_model, call, text):
    with pytest.raises(v.VeloriumException) as caught:
        call(quiet_model)
    assert re.fullmatch(text, str(caught.value))


def test_handlers_for_exception_catch_it_and_those_for_runtime_error_do_not(model):
    with pytest.raises(Exception):
        model.solve()
    with pytest.raises(v.VeloriumException):
        try:
            model.solve()
        except RuntimeError:
            pytest.fail("caught as RuntimeError")


def test_a_text_that_is_not_valid_utf8_arrives_with_replacement_characters(quiet_model):
    # A name cut inside a Cyrillic letter comes back in the library's message.
    cut = "Пар".encode()[:-1]
    with pytest.raises(v.VeloriumException) as caught:
        quiet_model.get_int_param(cut)
    assert str(caught.value) == "Ошибка получения параметра [Па\ufffd]"
