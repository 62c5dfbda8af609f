"""How every function binds, converts and reports its arguments."""

import math

import pytest

from orvik._orvik import distance, geodesic, units

from function_table import Args, present

# Every function of numbers, with its parameter names in order.
SIGNATURES = [(f.resolve(), list(f.params)) for f in present(Args.FLOATS)]
SIGNATURE_IDS = [fn.__name__ for fn, _ in SIGNATURES]
VALUES = [10.0, 20.0, 30.0, 40.0]


def quoted(names):
    return [f"'{n}'" for n in names]


def type_error(call):
    with pytest.raises(TypeError) as info:
        call()
    assert type(info.value) is TypeError
    return str(info.value)


def same(a, b):
    """Equal as results: NaN equals NaN, containers compared item by item."""
    if type(a) is not type(b):
        return False
    if isinstance(a, dict):
        return list(a) == list(b) and all(same(a[k], b[k]) for k in a)
    if isinstance(a, tuple):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return a == b or (math.isnan(a) and math.isnan(b))


@pytest.mark.parametrize("fn, params", SIGNATURES, ids=SIGNATURE_IDS)
def test_binding_by_position_and_keyword(fn, params):
    args = VALUES[: len(params)]
    expected = fn(*args)
    assert same(fn(**dict(zip(params, args))), expected)
    assert same(fn(**dict(reversed(list(zip(params, args))))), expected)
    assert same(fn(*args[:1], **dict(zip(params[1:], args[1:]))), expected)
    assert same(fn(*[int(a) for a in args]), expected)  # integers convert


@pytest.mark.parametrize("fn, params", SIGNATURES, ids=SIGNATURE_IDS)
def test_binding_errors(fn, params):
    n, f = len(params), f"{fn.__name__}()"
    names = quoted(params)
    listed = names[0] if n == 1 else " and ".join(names) if n == 2 else ", ".join(names[:-1]) + ", and " + names[-1]
    plural = "argument" if n == 1 else "arguments"
    assert type_error(lambda: fn()) == f"{f} missing {n} required positional {plural}: {listed}"
    # Too many positional arguments is reported before any keyword is looked at.
    too_many = f"{f} takes {n} positional arguments but {n + 1} were given"
    assert type_error(lambda: fn(*range(n + 1))) == too_many
    assert type_error(lambda: fn(*range(n + 1), bogus=1)) == too_many
    assert type_error(lambda: fn(*range(n - 1), bogus=1)) == f"{f} got an unexpected keyword argument 'bogus'"
    upper = params[0].upper() if params[0] != params[0].upper() else params[0].lower()
    assert type_error(lambda: fn(**{upper: 1})) == f"{f} got an unexpected keyword argument '{upper}'"
    assert type_error(lambda: fn(*range(n), **{params[0]: 1})) == f"{f} got multiple values for argument '{params[0]}'"


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: distance.geodesic_distance(1.0, 2.0), "missing 2 required positional arguments: 'lat2' and 'lon2'"),
        (lambda: distance.geodesic_distance(lat2=1, lon1=2), "missing 2 required positional arguments: 'lat1' and 'lon2'"),
        (lambda: units.dms_to_deg(1, 2), "missing 1 required positional argument: 'arcseconds'"),
        # The first offending keyword, in the order written, decides.
        (lambda: distance.geodesic_distance(1, 2, lon1=3, bogus=4), "got multiple values for argument 'lon1'"),
        (lambda: distance.geodesic_distance(1, bogus=4, lat1=3), "got an unexpected keyword argument 'bogus'"),
        (lambda: units.deg_to_dms(deg=1), "got an unexpected keyword argument 'deg'"),
        (lambda: distance.geodesic_destination(0, 0, azi1=0, s12=1), "got an unexpected keyword argument 'azi1'"),
        # A keyword that cannot be encoded matches nothing; its text is made printable.
        (lambda: units.ft_to_m(**{"f\udcfft": 1}), "got an unexpected keyword argument 'f\ufffdt'"),
        # Binding comes before conversion.
        (lambda: distance.geodesic_distance("x", lon1=1), "missing 2 required positional arguments: 'lat2' and 'lon2'"),
    ],
)  # fmt: skip
def test_binding_messages(call, message):
    assert type_error(call).endswith(message)


class Float:
    """Converts through __float__, recording each conversion by name."""

    def __init__(self, name, log, value=1.0):
        self.name, self.log, self.value = name, log, value

    def __float__(self):
        self.log.append(self.name)
        if isinstance(self.value, BaseException):
            raise self.value
        return self.value


def test_conversion_runs_in_parameter_order():
    log = []
    result = units.dms_to_deg(
        arcseconds=Float("arcseconds", log, 36.0), degrees=Float("degrees", log, 1.0), arcminutes=Float("arcminutes", log, 3.0)
    )
    assert log == ["degrees", "arcminutes", "arcseconds"]
    assert result == units.dms_to_deg(1.0, 3.0, 36.0)


def test_conversion_stops_at_the_first_failure():
    log = []
    message = type_error(lambda: units.dms_to_deg("1", Float("arcminutes", log), Float("arcseconds", log)))
    assert message.startswith("argument 'degrees': ")
    assert log == []
    message = type_error(lambda: units.dms_to_deg(Float("degrees", log), Float("arcminutes", log, TypeError("no")), "x"))
    assert message == "argument 'arcminutes': no"
    assert log == ["degrees", "arcminutes"]


def test_exact_type_error_is_reworded():
    with pytest.raises(TypeError) as expected:
        math.fabs("3")  # the interpreter's own conversion message
    message = type_error(lambda: units.ft_to_m("3"))
    assert message == f"argument 'ft': {expected.value}"

    with pytest.raises(TypeError) as info:
        units.ft_to_m("3")
    assert info.value.__cause__ is None
    assert info.value.__suppress_context__ is True
    assert info.value.__context__ is None


def test_rewording_keeps_the_cause_and_drops_the_first_error():
    cause = KeyError("k")
    first = TypeError("bad value")
    first.__cause__ = cause
    with pytest.raises(TypeError) as info:
        units.km_to_m(Float("km", [], first))
    err = info.value
    assert err is not first
    assert str(err) == "argument 'km': bad value"
    assert err.__cause__ is cause
    assert err.__suppress_context__ is True
    assert err.__context__ is not first


class MyTypeError(TypeError):
    pass


@pytest.mark.parametrize("error", [ValueError("v"), MyTypeError("sub"), OverflowError("o"), ZeroDivisionError()])
def test_other_conversion_errors_pass_unchanged(error):
    with pytest.raises(BaseException) as info:
        units.km_to_m(Float("km", [], error))
    assert info.value is error
    assert str(info.value) == str(error)


def test_huge_integer_overflows_without_prefix():
    with pytest.raises(OverflowError) as info:
        distance.great_circle_distance(0, 0, 0, 10**400)
    assert not str(info.value).startswith("argument")


@pytest.mark.parametrize(
    "arg, expected",
    [
        (Float("km", [], -1.0), -1000.0),  # -1.0 is a value, not an error marker
        (-1, -1000.0),
        (True, 1000.0),
        (type("Index", (), {"__index__": lambda self: 7})(), 7000.0),
        (type("F", (float,), {})(2.5), 2500.0),
    ],
)
def test_accepted_conversions(arg, expected):
    assert units.km_to_m(arg) == expected


@pytest.mark.parametrize("fn", [geodesic.wgs84_a, geodesic.wgs84_f], ids=lambda f: f.__name__)
def test_parameterless_functions_refuse_arguments(fn):
    with pytest.raises(TypeError):
        fn(1)
    with pytest.raises(TypeError):
        fn(x=1)
    assert type(fn()) is float


@pytest.mark.parametrize("fn, params", SIGNATURES, ids=SIGNATURE_IDS)
def test_results_are_floats(fn, params):
    result = fn(*[0] * len(params))
    items = result.values() if isinstance(result, dict) else result if isinstance(result, tuple) else [result]
    assert all(type(v) is float for v in items)


class Keyword(str):
    """A keyword name of a str subclass whose str() fails."""

    def __str__(self):
        raise RuntimeError("no text")


def test_keyword_of_a_str_subclass(monkeypatch):
    assert units.km_to_m(**{Keyword("km"): 2}) == 2000.0  # matched by its bytes
    reported = []
    monkeypatch.setattr("sys.unraisablehook", reported.append)
    message = type_error(lambda: units.km_to_m(**{Keyword("kx"): 2}))
    assert message == "km_to_m() got an unexpected keyword argument '<unprintable Keyword object>'"
    assert [type(r.exc_value) for r in reported] == [RuntimeError]
