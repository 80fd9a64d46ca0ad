#!/usr/bin/env python3
"""Writes the Windows installer of the COM server (an MSI, built with wixl from msitools).

    windows-package.py --idl src/com/velmora.idl --version 0.2.0 \
        --dll64 build-win64/velmora.dll --dll32 build-win32/velmora.dll --output velmora.msi

The package installs the 64-bit DLL into the 64-bit program folder and the 32-bit one into the
32-bit program folder (<ProgramFiles>\\Velmora\\velmora.dll each) and registers both through
the MSI's Registry table, with the keys the DLL's own DllRegisterServer writes: per class its
CLSID key (InprocServer32, apartment threaded, ProgID, VersionIndependentProgID, TypeLib,
Version, Programmable) and the ProgIDs Velmora.<Class> and Velmora.<Class>.1; the type library
and the interfaces it describes (marshalled by the automation marshaller). A component's keys go
to its own registry view, so 32-bit clients (VB6) find the 32-bit DLL; the type library's key is
shared by both views and names both DLLs. Everything is read from
the IDL, whose GUIDs are the component's binary interface. Uninstalling removes what it wrote.
"""
import argparse
import os
import re
import subprocess
import sys
import uuid
from pathlib import Path
from xml.sax.saxutils import quoteattr

# The automation marshaller (oleaut32), which serves every dual interface of a type library.
AUTOMATION_PROXY = "{00020424-0000-0000-C000-000000000046}"
# The installer's own identity: fixed so that a newer package upgrades an older one. Derived once
# from a name so it needs no table of its own.
NAMESPACE = uuid.uuid5(uuid.NAMESPACE_DNS, "velmora.windows-package")


def fixed_guid(name):
    return "{" + str(uuid.uuid5(NAMESPACE, name)).upper() + "}"


def read_idl(path):
    """The library (uuid, version, helpstring), its interfaces and classes from the IDL."""
    text = re.sub(r"//[^\n]*", "", Path(path).read_text())
    entries = []
    for attrs, kind, name in re.findall(r"\[([^\]]*)\]\s*(interface|coclass|library)\s+(\w+)",
                                        text):
        guid = re.search(r"uuid\(([0-9a-fA-F-]{36})\)", attrs)
        if not guid:
            continue  # an interface named inside a coclass
        help_text = re.search(r'helpstring\("([^"]*)"\)', attrs)
        version = re.search(r"version\(([0-9.]+)\)", attrs)
        entries.append({"kind": kind, "name": name, "guid": "{" + guid.group(1).upper() + "}",
                        "help": help_text.group(1) if help_text else name,
                        "version": version.group(1) if version else ""})
    libraries = [e for e in entries if e["kind"] == "library"]
    if len(libraries) != 1:
        raise SystemExit(f"{path}: expected one library, found {len(libraries)}")
    classes = [e for e in entries if e["kind"] == "coclass"]
    interfaces = [e for e in entries if e["kind"] == "interface"]
    if not classes or not interfaces:
        raise SystemExit(f"{path}: no classes or no interfaces found")
    return libraries[0], interfaces, classes


def registry_keys(library, interfaces, classes, file_id, folder_id, platform):
    """(key, name or None, value) rows under HKCR, as DllRegisterServer writes them."""
    path = f"[#{file_id}]"
    libid = library["guid"]
    rows = []
    for c in classes:
        progid = f"Velmora.{c['name']}"
        key = f"CLSID\\{c['guid']}"
        rows += [(key, None, c["help"]),
                 (key + "\\InprocServer32", None, path),
                 (key + "\\InprocServer32", "ThreadingModel", "Apartment"),
                 (key + "\\ProgID", None, progid + ".1"),
                 (key + "\\VersionIndependentProgID", None, progid),
                 (key + "\\TypeLib", None, libid),
                 (key + "\\Version", None, library["version"]),
                 (key + "\\Programmable", None, "")]
        for name in (progid, progid + ".1"):
            rows += [(name, None, c["help"]), (name + "\\CLSID", None, c["guid"])]
        rows.append((progid + "\\CurVer", None, progid + ".1"))
    # The type library's key is one for both views: the 64-bit component writes its values and
    # the 32-bit one only the path of its own DLL.
    lib = f"TypeLib\\{libid}\\{library['version']}"
    if platform == "win64":
        rows += [(lib, None, library["help"]),
                 (lib + "\\FLAGS", None, "8"),   # LIBFLAG_FHASDISKIMAGE, as registration writes
                 (lib + "\\HELPDIR", None, f"[{folder_id}]")]
    rows.append((lib + f"\\0\\{platform}", None, path))
    for i in interfaces:
        key = f"Interface\\{i['guid']}"
        rows += [(key, None, i["name"]),
                 (key + "\\ProxyStubClsid", None, AUTOMATION_PROXY),
                 (key + "\\ProxyStubClsid32", None, AUTOMATION_PROXY),
                 (key + "\\TypeLib", None, libid),
                 (key + "\\TypeLib", "Version", library["version"])]
    return rows


def component(bits, dll, library, interfaces, classes):
    file_id = f"velmora{bits}.dll"
    folder_id = f"INSTALLDIR{bits}"
    platform = "win64" if bits == 64 else "win32"
    lines = [f'<Component Id="Server{bits}" Guid="{fixed_guid(f"server{bits}")}" '
             f'Win64="{"yes" if bits == 64 else "no"}">',
             f'  <File Id="{file_id}" Name="velmora.dll" Source={quoteattr(str(dll))} '
             'KeyPath="yes"/>']
    for key, name, value in registry_keys(library, interfaces, classes, file_id, folder_id,
                                          platform):
        name_attr = f" Name={quoteattr(name)}" if name else ""
        lines.append(f'  <RegistryValue Root="HKCR" Key={quoteattr(key)}{name_attr} '
                     f'Type="string" Value={quoteattr(value)}/>')
    lines.append("</Component>")
    return "\n".join("            " + line for line in lines)


def wxs(version, dll64, dll32, library, interfaces, classes):
    return f"""<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="*" Name="Velmora {version}" Manufacturer="Velmora" Version="{version}"
           Language="1033" UpgradeCode="{fixed_guid('upgrade')}">
    <Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine"
             Description="Velmora COM server {version} (64-bit and 32-bit)"/>
    <Media Id="1" Cabinet="velmora.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFiles64Folder">
        <Directory Id="INSTALLDIR64" Name="Velmora">
{component(64, dll64, library, interfaces, classes)}
        </Directory>
      </Directory>
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR32" Name="Velmora">
{component(32, dll32, library, interfaces, classes)}
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Server" Title="Velmora COM server" Level="1">
      <ComponentRef Id="Server64"/>
      <ComponentRef Id="Server32"/>
    </Feature>
  </Product>
</Wix>
"""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--idl", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--dll64", required=True)
    parser.add_argument("--dll32", required=True)
    parser.add_argument("--output", required=True)
    args = parser.parse_args()
    for dll in (args.dll64, args.dll32):
        if not Path(dll).is_file():
            raise SystemExit(f"windows-package: {dll} not found (run make windows)")
    library, interfaces, classes = read_idl(args.idl)
    output = Path(args.output).resolve()
    source = output.with_suffix(".wxs")
    # wixl takes a file's Source relative to the folder it runs in.
    dll64, dll32 = (os.path.relpath(Path(dll).resolve(), source.parent)
                    for dll in (args.dll64, args.dll32))
    source.write_text(wxs(args.version, dll64, dll32, library, interfaces, classes))
    done = subprocess.run(["wixl", "-a", "x64", "-o", output.name, source.name],
                          cwd=source.parent, check=False)
    if done.returncode != 0:
        print(f"windows-package: wixl failed on {source}", file=sys.stderr)
        return 1
    print(f"{output}: {len(classes)} classes, {len(interfaces)} interfaces, both DLLs")
    return 0


if __name__ == "__main__":
    sys.exit(main())
