"""Velmora from Python: judge a lot's EDC and inspection data after a process step.

    import velmora
    report = velmora.check("LOT-A01", "S-FQC-100")          # the demo home
    print(report["result"], report["flags"]["IsEDCFail"])

    with velmora.Session(home="/opt/mes/client") as session:  # repeated checks, one home
        for lot in lots:
            report = session.check(lot, "S-FQC-100")

A report is the JSON object of `velmora check --format json` as a dict: lot, step, result ("ok",
"SqlFail" or ""), flags, LotDevReasons, TimeVersionSysid and records. The module calls the C
interface of libvelmora through ctypes; it needs nothing beyond the standard library. The
library is found through $VELMORA_LIBRARY, else the build tree the module was copied into,
else the library installed with the module, else the system loader.

A Session is used by one thread at a time; sessions on different threads check at the same time
(the library releases the interpreter lock while a check runs).
"""

import ctypes
import json
import threading

from . import _library, _paths

__all__ = ["Error", "ConfigError", "Session", "check", "__version__"]
__version__ = _paths.VERSION

_OK = 0
_ERROR_CONFIG = 2

_lib = None
_lib_lock = threading.Lock()


class Error(Exception):
    """A check could not be made: an invalid lot or step, or an unexpected failure."""


class ConfigError(Error):
    """A session could not be opened: the home's configuration or its MES database."""


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
        lib = _c()
        handle = ctypes.c_void_p()
        code = lib.velmora_session_open(
            _text(home, "home"), _text(mes, "mes"), ctypes.byref(handle)
        )
        if code != _OK:
            message = _decoded(lib.velmora_last_error(None))
            raise (ConfigError if code == _ERROR_CONFIG else Error)(message)
        self._handle = handle

    def check(self, lot, step):
        """One check of `lot` at `step`: the report as a dict. Raises Error when the inputs do not
        validate (an empty lot or step) or the check fails unexpectedly."""
        if self._handle is None:
            raise Error("the session is closed")
        lib = _c()
        result = ctypes.c_void_p()
        code = lib.velmora_check(
            self._handle, _text(lot, "lot"), _text(step, "step"), ctypes.byref(result)
        )
        if code != _OK:
            raise Error(_decoded(lib.velmora_last_error(self._handle)))
        try:
            return json.loads(_decoded(lib.velmora_result_json(result)))
        finally:
            lib.velmora_result_free(result)

    def close(self):
        """Closes the session and its MES database; closing twice is harmless."""
        if self._handle is not None:
            _c().velmora_session_close(self._handle)
            self._handle = None

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def __del__(self):
        if getattr(self, "_handle", None) is not None and _lib is not None:
            _lib.velmora_session_close(self._handle)
            self._handle = None


def check(lot, step, home=None, mes=None):
    """One check of `lot` at `step` in a session of its own (see Session): the report as a dict."""
    with Session(home=home, mes=mes) as session:
        return session.check(lot, step)
