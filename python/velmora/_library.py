"""Finds and loads libvelmora and declares the C interface (velmora/velmora.h) to ctypes."""

import ctypes
import ctypes.util
import os

from . import _paths


def _candidates():
    """Where the library is looked for, in order."""
    explicit = os.environ.get("VELMORA_LIBRARY")
    if explicit:
        # Named by the user: used or failed, never passed over for another copy.
        yield explicit
        return
    if _paths.BUILD_LIBRARY and os.path.exists(_paths.BUILD_LIBRARY):
        yield _paths.BUILD_LIBRARY
    if _paths.LIBRARY_FROM_PACKAGE:
        installed = os.path.normpath(
            os.path.join(os.path.dirname(os.path.abspath(__file__)), _paths.LIBRARY_FROM_PACKAGE)
        )
        if os.path.exists(installed):
            yield installed
    # The system loader (ld.so.conf, LD_LIBRARY_PATH): by soname first, then any version.
    yield _paths.LIBRARY_NAME
    found = ctypes.util.find_library("velmora")
    if found:
        yield found


def _declare(lib):
    session_p = ctypes.c_void_p
    result_p = ctypes.c_void_p
    text = ctypes.c_char_p
    signatures = {
        "velmora_version": (text, []),
        "velmora_session_open": (ctypes.c_int, [text, text, ctypes.POINTER(session_p)]),
        "velmora_session_close": (None, [session_p]),
        "velmora_session_trace": (ctypes.c_int, [session_p, text]),
        "velmora_check": (ctypes.c_int, [session_p, text, text, ctypes.POINTER(result_p)]),
        "velmora_result_text": (text, [result_p]),
        "velmora_result_json": (text, [result_p]),
        "velmora_result_free": (None, [result_p]),
        "velmora_last_error": (text, [session_p]),
    }
    for name, (restype, argtypes) in signatures.items():
        function = getattr(lib, name)
        function.restype = restype
        function.argtypes = argtypes
    return lib


def load():
    """The loaded library; OSError naming every place tried when there is none."""
    tried = []
    for candidate in _candidates():
        try:
            return _declare(ctypes.CDLL(candidate))
        except OSError as error:
            tried.append(f"{candidate}: {error}")
    raise OSError(
        "cannot load libvelmora (set VELMORA_LIBRARY to its path); tried " + "; ".join(tried)
    )
