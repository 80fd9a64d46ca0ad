"""The Python module from the build tree: the same reports as the command, and its failures."""

import json
import os
import subprocess

import pytest

import velmora

HOME = os.environ["VELMORA_DEMO_HOME"]
CLI = os.environ["VELMORA_CLI"]


def cli_report(lot, step):
    out = subprocess.run(
        [CLI, "check", "--format", "json", "--home", HOME, "--lot", lot, "--step", step],
        capture_output=True, check=False, text=True,
    ).stdout
    return json.loads(out)


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


def test_version_is_the_commands():
    out = subprocess.run([CLI, "--version"], capture_output=True, check=True, text=True).stdout
    assert out.strip() == "velmora " + velmora.__version__
