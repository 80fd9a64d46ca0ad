"""The Python module from the build tree: the same reports as the command, and its failures."""

import json
import os
import pathlib
import shutil
import sqlite3
import subprocess

import pytest

import velmora

HOME = os.environ["VELMORA_DEMO_HOME"]
CLI = os.environ["VELMORA_CLI"]


def cli_report_on(home, lot, step):
    out = subprocess.run(
        [CLI, "check", "--format", "json", "--home", home, "--lot", lot, "--step", step],
        capture_output=True, check=False, text=True,
    ).stdout
    return json.loads(out)


def cli_report(lot, step):
    return cli_report_on(HOME, lot, step)


@pytest.mark.parametrize("lot, step", [
    ("LOT-A01", "S-FQC-100"),   # EDC, SPC and inspection findings
    ("LOT-A02", "S-FQC-100"),   # a clean lot
    ("LOT-A04", "S-PHO-020"),   # SPC chart findings
    ("NO-SUCH-LOT", "S-FQC-100"),  # no items
])
def test_check_gives_the_commands_report(lot, step):
    assert velmora.check(lot, step, home=HOME) == cli_report(lot, step)


def test_a_session_checks_again_and_again_until_closed():
    with velmora.Session(home=HOME) as session:
        first = session.check("LOT-A01", "S-FQC-100")
        assert session.check("LOT-A02", "S-FQC-100") == cli_report("LOT-A02", "S-FQC-100")
        # Records do not pile up from one check to the next.
        assert session.check("LOT-A01", "S-FQC-100") == first
    assert first["result"] == "ok" and first["records"]
    with pytest.raises(velmora.Error, match="closed"):
        session.check("LOT-A01", "S-FQC-100")


def test_failures_raise_the_modules_errors():
    with pytest.raises(velmora.ConfigError, match="/nonexistent/home/INI/MESconfig.ini"):
        velmora.check("LOT-A01", "S-FQC-100", home="/nonexistent/home")
    with pytest.raises(velmora.ConfigError, match="/nonexistent/mes.db"):
        velmora.Session(home=HOME, mes="sqlite:/nonexistent/mes.db")
    with pytest.raises(velmora.Error, match="Lot ID") as raised:
        velmora.check("", "S-FQC-100", home=HOME)
    assert not isinstance(raised.value, velmora.ConfigError)
    for lot, step in ((None, "S-FQC-100"), ("LOT-A01", None), (b"LOT-A01", "S-FQC-100")):
        with pytest.raises(TypeError):
            velmora.check(lot, step, home=HOME)
    with pytest.raises(ValueError, match="home"):
        velmora.Session(home="")
    with velmora.Session(home=HOME) as session:
        with pytest.raises(velmora.ConfigError, match="is the configured file"):
            session.trace(pathlib.Path(HOME) / "INI" / "MESconfig.ini")


def test_a_home_may_be_a_path_and_a_session_says_what_it_holds():
    assert velmora.check("LOT-A02", "S-FQC-100", home=pathlib.Path(HOME))["result"] == "ok"
    session = velmora.Session(home=pathlib.Path(HOME), mes="sqlite:mes.db")
    assert repr(session) == f"<velmora.Session home={HOME!r} mes='sqlite:mes.db' open>"
    session.close()
    assert repr(session).endswith(" closed>")
    with pytest.raises(velmora.ConfigError) as raised:
        velmora.Session(home=HOME, mes="odbc:DSN=nowhere;UID=u;PWD={se;cret}")
    assert "se;cret" not in str(raised.value)


@pytest.mark.parametrize("damage, removed, error_type, result, procedure, kind", [
    ("DROP TABLE PARM_STEP_STATION", None, velmora.CheckFailed, "", "getStation", "no-answer"),
    ("DROP TABLE MES_BASIC_LISTDATA", None, velmora.CheckFailed, "", "getBumpDefect",
     "no-answer"),
    (None, "inspection.db", velmora.SqlFail, "SqlFail", "getMSSQLConnect", "inspection-login"),
])
def test_a_check_that_did_not_complete_raises_with_its_failure(
        tmp_path, damage, removed, error_type, result, procedure, kind):
    home = tmp_path / "home"
    shutil.copytree(HOME, home)
    if damage:
        with sqlite3.connect(home / "mes.db") as db:
            db.execute(damage)
    if removed:
        (home / removed).unlink()
    with pytest.raises(error_type, match=procedure) as raised:
        velmora.check("LOT-A01", "S-FQC-100", home=home)
    assert isinstance(raised.value, velmora.CheckFailed)
    assert raised.value.report["result"] == result
    assert raised.value.error["procedure"] == procedure
    assert raised.value.error["kind"] == kind
    report = velmora.check("LOT-A01", "S-FQC-100", home=home, raise_on_failure=False)
    assert report["error"] == raised.value.error
    assert report == cli_report_on(home, "LOT-A01", "S-FQC-100")


def test_version_is_the_commands():
    out = subprocess.run([CLI, "--version"], capture_output=True, check=True, text=True).stdout
    assert out.strip() == "velmora " + velmora.__version__
