"""Velmora from Python: judge a lot's EDC and inspection data after a process step.

    import velmora
    report = velmora.check("LOT-A01", "S-FQC-100")          # the demo home
    print(report["result"], report["flags"]["IsEDCFail"])

    with velmora.Session(home="/opt/mes/client") as session:  # repeated checks, one home
        for lot in lots:
            report = session.check(lot, "S-FQC-100")

A report is the JSON object of `velmora check --format json` as a dict: lot, step, result ("ok",
"SqlFail" or ""), flags, LotDevReasons, TimeVersionSysid and records. A check that did not end
"ok" raises CheckFailed (SqlFail when the inspection database could not be opened), carrying the
report and the failure that ended the run; with raise_on_failure=False the report is returned
instead, with that failure under "error". The module calls the C
interface of libvelmora through ctypes; it needs nothing beyond the standard library. The
library is found through $VELMORA_LIBRARY, else the build tree the module was copied into,
else the library installed with the module, else the system loader.

A Session is used by one thread at a time; sessions on different threads check at the same time
(the library releases the interpreter lock while a check runs).
"""

import ctypes
import json
import os
import re
import threading

from . import _library, _paths

__all__ = ["Error", "ConfigError", "CheckFailed", "SqlFail", "Session", "check", "__version__"]
__version__ = _paths.VERSION

_OK = 0
_ERROR_CONFIG = 2

_lib = None
_lib_lock = threading.Lock()


class Error(Exception):
    """A check could not be made: an invalid lot or step, or an unexpected failure."""


class ConfigError(Error):
    """A session could not be opened: the home's configuration or its MES database."""


class CheckFailed(Error):
    """A check ran but did not complete: its result is "" (a database could not answer, or an
    unexpected failure). Its flags and records are not the lot's findings.

    report: the report as a dict, its "error" the failure that ended the run; error: that
    failure, a dict of procedure, number, description, kind and statement.
    """

    def __init__(self, report):
        self.report = report
        self.error = report.get("error") or {}
        where = self.error.get("procedure", "")
        detail = f'{self.error.get("number", "")}:{self.error.get("description", "")}'
        if self.error.get("statement"):
            detail += f' (statement: {self.error["statement"]})'
        super().__init__(
            f'the check of {report.get("lot")} at {report.get("step")} returned '
            f'"{report.get("result")}" after a failure in {where}: {detail}'
        )


class SqlFail(CheckFailed):
    """A check ended "SqlFail": the inspection database could not be opened."""


def _c():
    global _lib
    with _lib_lock:
        if _lib is None:
            _lib = _library.load()
        return _lib


def _text(value, name):
    """A str argument as UTF-8 bytes for C (None stays None)."""
    if value is None:
        return None
    if not isinstance(value, str):
        raise TypeError(f"{name} must be a str, not {type(value).__name__}")
    if "\0" in value:
        raise ValueError(f"{name} must not contain NUL characters")
    return value.encode("utf-8")


def _required_text(value, name):
    """A lot or step: a str, never None."""
    if not isinstance(value, str):
        raise TypeError(f"{name} must be a str, not {type(value).__name__}")
    return _text(value, name)


def _home(value):
    """The home argument: None, a str or an os.PathLike naming a folder, never empty."""
    if value is None:
        return None
    if not isinstance(value, (str, os.PathLike)):
        raise TypeError(f"home must be a str or a path, not {type(value).__name__}")
    folder = os.fspath(value)
    if isinstance(folder, bytes):
        folder = os.fsdecode(folder)
    if folder == "":
        raise ValueError("home must name a folder, not be empty (None for the default home)")
    return folder


# A password in an ODBC connection string: PWD=... or Password=..., braced or up to the next ";".
_PASSWORD = re.compile(r"(?i)\b(pwd|password)\s*=\s*(\{(?:[^}]|\}\})*\}|[^;]*)")


def _masked(uri):
    return _PASSWORD.sub(lambda m: m.group(1) + "=***", uri)


def _decoded(raw):
    return raw.decode("utf-8", errors="replace") if raw is not None else ""


class Session:
    """Checks lots against one MES client home.

    home: a folder holding INI/MESconfig.ini, or None for $VELMORA_HOME, else the installed demo
    home. mes: None for [MESDB] Connection, or "sqlite:<path>" (relative to the home) /
    "odbc:<ODBC connection string>" overriding it. Raises ConfigError naming the file, key or URI
    at fault.
    """

    def __init__(self, home=None, mes=None):
        self._handle = None
        self._home = _home(home)
        self._mes = mes
        lib = _c()
        handle = ctypes.c_void_p()
        code = lib.velmora_session_open(
            _text(self._home, "home"), _text(mes, "mes"), ctypes.byref(handle)
        )
        if code != _OK:
            message = _decoded(lib.velmora_last_error(None))
            raise (ConfigError if code == _ERROR_CONFIG else Error)(message)
        self._handle = handle

    def check(self, lot, step, raise_on_failure=True):
        """One check of `lot` at `step` (both str): the report as a dict.

        Raises TypeError for a lot or step that is no str, Error when the inputs do not validate
        (an empty lot or step: nothing ran). A check whose result is not "ok" raises SqlFail
        (the inspection database could not be opened) or CheckFailed (result "": a database
        could not answer, or an unexpected failure), each carrying the report and the failure
        that ended the run; with raise_on_failure=False the report is returned instead, the
        failure under its "error" key."""
        lot_text = _required_text(lot, "lot")
        step_text = _required_text(step, "step")
        if self._handle is None:
            raise Error("the session is closed")
        lib = _c()
        result = ctypes.c_void_p()
        code = lib.velmora_check(self._handle, lot_text, step_text, ctypes.byref(result))
        if code != _OK:
            raise Error(_decoded(lib.velmora_last_error(self._handle)))
        try:
            report = json.loads(_decoded(lib.velmora_result_json(result)))
        finally:
            lib.velmora_result_free(result)
        if raise_on_failure and report["result"] != "ok":
            raise (SqlFail if report["result"] == "SqlFail" else CheckFailed)(report)
        return report

    def trace(self, path):
        """Appends the component's trace entries to the file `path` (a str or a path; "-" for
        standard error) from the next check on; None stops tracing. Raises ConfigError when the
        file cannot be opened or is one of the files the session reads (its configuration or an
        SQLite database), which a trace would damage."""
        if self._handle is None:
            raise Error("the session is closed")
        target = None
        if path is not None:
            if not isinstance(path, (str, os.PathLike)):
                raise TypeError(f"path must be a str or a path, not {type(path).__name__}")
            target = os.fsdecode(os.fspath(path))
        lib = _c()
        if lib.velmora_session_trace(self._handle, _text(target, "path")) != _OK:
            raise ConfigError(_decoded(lib.velmora_last_error(self._handle)))

    def close(self):
        """Closes the session and its MES database; closing twice is harmless."""
        if self._handle is not None:
            _c().velmora_session_close(self._handle)
            self._handle = None

    def __repr__(self):
        home = self._home if self._home is not None else "the default home"
        mes = _masked(self._mes) if self._mes else "[MESDB] Connection"
        state = "open" if self._handle is not None else "closed"
        return f"<velmora.Session home={home!r} mes={mes!r} {state}>"

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def __del__(self):
        if getattr(self, "_handle", None) is not None and _lib is not None:
            _lib.velmora_session_close(self._handle)
            self._handle = None


def check(lot, step, home=None, mes=None, raise_on_failure=True):
    """One check of `lot` at `step` in a session of its own: the report as a dict. Raises as
    Session() and Session.check do: ConfigError, TypeError, Error, and CheckFailed or SqlFail
    for a check that did not end "ok" unless raise_on_failure=False."""
    with Session(home=home, mes=mes) as session:
        return session.check(lot, step, raise_on_failure=raise_on_failure)
