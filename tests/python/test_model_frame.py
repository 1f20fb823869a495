"""The Model frame: construction, names, parameters, files, and what stays usable after a
failure."""
import os

import pytest

import veloriumpy as v


@pytest.mark.parametrize("arguments, name", [((), ""), (("plant",), "plant"), ((None,), ""), (("завод",), "завод")])
def test_construction_and_name(arguments, name):
    model = v.Model(*arguments)
    assert model.get_name() == name
    model.set_name("другое")
    assert model.get_name() == "другое"


def test_parameters_round_trip(model):
    model.set_int_param("threads", 3)
    model.set_dbl_param("time_limit", 12.5)
    model.set_string_param("log_file", "")
    model.set_bool_param("log_display_systime", True)
    assert (model.get_int_param("threads"), model.get_dbl_param("time_limit"), model.get_string_param("log_file"),
            model.get_bool_param("log_display_systime")) == (3, 12.5, "", True)


@pytest.mark.parametrize("getter", ["get_bool_param", "get_int_param", "get_dbl_param", "get_string_param"])
def test_an_option_is_read_only_in_its_own_type(quiet_model, getter):
    own = {"get_bool_param": "compute_iis", "get_int_param": "threads", "get_dbl_param": "time_limit",
           "get_string_param": "presolve"}
    for getter_of_name, name in own.items():
        if getter_of_name == getter:
            getattr(quiet_model, getter)(name)
            continue
        with pytest.raises(v.VeloriumException, match=rf"^Ошибка получения параметра \[{name}\]$"):
            getattr(quiet_model, getter)(name)


def test_read_and_write_with_and_without_a_name_map(quiet_model, lp_file, tmp_path):
    quiet_model.read(lp_file)
    assert quiet_model.is_mip() and not quiet_model.is_nonlinear()
    own, generated, name_map = (str(tmp_path / name) for name in ("own.lp", "generated.lp", "names.map"))
    quiet_model.write(own)
    quiet_model.write(generated, name_map)
    assert "c1 : x + y <= 4" in open(own).read()
    assert "c0 : x0 + x1 <= 4" in open(generated).read()
    assert open(name_map).read().split("\n")[1:3] == ["x x0", "y x1"]
    copy = v.Model()
    copy.read_lp(own)
    assert copy.is_mip()
    quiet_model.clear()
    assert not quiet_model.is_mip()


def without_name(text):
    return [line for line in text.splitlines() if not line.startswith("NAME")]


@pytest.mark.parametrize("write, read, file", [
    (v.Model.write, v.Model.read, "m.lp"),
    (v.Model.write_mps, v.Model.read_mps, "m.txt"),
    (v.Model.write_lp, v.Model.read_lp, "m.txt"),
])
def test_every_writer_writes_own_or_generated_names(quiet_model, lp_file, tmp_path, write, read, file):
    quiet_model.read(lp_file)
    own, generated, name_map = (str(tmp_path / name) for name in ("own_" + file, "gen_" + file, "names.map"))
    write(quiet_model, own)
    write(quiet_model, generated, name_map)
    assert "c1" in open(own).read() and "x" in open(own).read()
    assert "c1" not in open(generated).read()
    assert open(name_map).read().split("\n")[1:3] == ["x x0", "y x1"]
    for path in (own, generated):
        copy = v.Model()
        copy.set_bool_param("log_to_console", False)
        read(copy, path)
        again = str(tmp_path / ("again_" + os.path.basename(path)))
        write(copy, again)
        # Equal but for the model's name, which reading takes from the file's.
        assert without_name(open(again).read()) == without_name(open(path).read())


def test_the_model_stays_usable_after_failures(quiet_model, lp_file):
    for _ in range(2):
        with pytest.raises(v.VeloriumException):
            quiet_model.solve()
        with pytest.raises(v.VeloriumException):
            quiet_model.read("/nonexistent.lp")
    quiet_model.read(lp_file)
    assert quiet_model.is_mip()


@pytest.mark.parametrize("call", [
    lambda m: m.read(None),
    lambda m: m.read_lp(None),
    lambda m: m.get_string_param(None),
    lambda m: m.set_string_param("log_file", None),
    lambda m: m.set_bool_param(None, True),
    lambda m: m.write(None),
    lambda m: m.write("model.lp", None),
    lambda m: m.set_log_file(None),
    lambda m: m.set_name(None),
    lambda m: m.solve_remote(None),
])
def test_none_for_a_text_is_refused_before_the_library_sees_it(quiet_model, call):
    quiet_model.set_name("kept")
    with pytest.raises(TypeError, match="incompatible function arguments"):
        call(quiet_model)
    assert quiet_model.get_name() == "kept"
