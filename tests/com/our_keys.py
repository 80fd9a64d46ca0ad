#!/usr/bin/env python3
"""Lists the registry keys and values of the COM server found in an export of HKEY_CLASSES_ROOT.

    our_keys.py --idl src/com/velmora.idl EXPORT.reg [--view 64|32|all]

EXPORT.reg is what `regedit /E FILE KEY` writes (UTF-16) for HKEY_CLASSES_ROOT or
HKEY_LOCAL_MACHINE\Software[\Wow6432Node]\Classes. Prints one line per value of every key that
names one of the IDL's GUIDs (classes, interfaces, the type library) or one of its ProgIDs,
"HKCR\KEY | NAME | VALUE" (NAME "@" for the default value; a key without values as its name
alone), sorted, with the key's letter case folded. --view 32 keeps the keys of the 32-bit view
(under Wow6432Node), --view 64 the others.
"""
import argparse
import re
import sys
from pathlib import Path


def idl_names(idl):
    text = Path(idl).read_text()
    guids = [g.upper() for g in re.findall(r"uuid\(([0-9a-fA-F-]{36})\)", text)]
    progids = ["VELMORA." + name.upper() for name in re.findall(r"coclass\s+(\w+)", text)]
    return guids, progids


def unquote(text):
    return re.sub(r'\\(.)', r"\1", text)


def parse(export):
    """(key, {name: value}) in file order; values other than strings kept as written."""
    raw = Path(export).read_bytes()
    text = raw.decode("utf-16") if raw[:2] in (b"\xff\xfe", b"\xfe\xff") else raw.decode()
    keys = []
    for line in text.replace("\r", "").split("\n"):
        if line.startswith("[") and line.endswith("]"):
            keys.append((line[1:-1], {}))
        elif keys and line.startswith("@="):
            keys[-1][1]["@"] = line[2:]
        elif keys and line.startswith('"'):
            match = re.match(r'"((?:[^"\\]|\\.)*)"=(.*)', line)
            if match:
                keys[-1][1][unquote(match.group(1))] = match.group(2)
    return keys


# Where the two registry views keep their classes, longest first.
ROOTS = (("HKEY_CLASSES_ROOT\\WOW6432NODE\\", "32"),
         ("HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432NODE\\CLASSES\\", "32"),
         ("HKEY_CLASSES_ROOT\\", "64"),
         ("HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\", "64"))


def classes_key(key):
    """The view of a key and its path below the classes root, or (None, None)."""
    for root, view in ROOTS:
        if key.startswith(root):
            return view, key[len(root):].split("\\")
    return None, None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--idl", required=True)
    parser.add_argument("--view", choices=("64", "32", "all"), default="all")
    parser.add_argument("export")
    args = parser.parse_args()
    guids, progids = idl_names(args.idl)
    lines = []
    for key, values in parse(args.export):
        view, parts = classes_key(key.upper())
        if parts is None or args.view not in ("all", view):
            continue
        ours = any(g in part for part in parts for g in guids) or \
            any(part in (p, p + ".1") for part in parts for p in progids)
        if not ours:
            continue
        name = "\\".join(["HKCR"] + parts)
        if not values:
            lines.append(name)
        for value_name, value in values.items():
            value = unquote(value[1:-1]) if value.startswith('"') else value
            lines.append(f"{name} | {value_name} | {value}")
    if lines:
        print("\n".join(sorted(lines)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
