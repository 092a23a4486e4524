#!/usr/bin/env python3
"""Builds the Kelvara MSI from the staged binaries: wixl compiles kelvara.wxs, then msibuild adds
what wixl cannot express. The control's registry rows come from verprobe's registration table
and its type library's description; every byte that could vary between builds is fixed.

make_msi.py VERSION ARCH STAGE OUT EPOCH
  VERSION  the product's a.b.c.d     ARCH  x86 or amd64, as the setup program's
  STAGE    folder of the binaries    EPOCH the build's fixed time (seconds since 1970)
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import uuid

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
PROGRAM_FILES = ("kelvlaunch.exe", "StackTrace.dll", "verprobe.dll")
# Product and package codes are derived from the version, under the upgrade code.
UPGRADE_CODE = uuid.UUID("7C1E5A93-2B4D-4F08-9E61-D3A8B5C2F417")
# What wixl ignores or cannot express.
FIXES = (
    # Shortcuts to the file itself, not advertised ones that would need the feature's icon.
    "UPDATE `Shortcut` SET `Target` = '[#Launcher]'",
    "UPDATE `Component` SET `Condition` = 'SERVER' WHERE `Component` = 'ServerSetting'",
    # Permanent (16): removal keeps the user's settings and lists. The server's key path is
    # its registry value (4).
    "UPDATE `Component` SET `Attributes` = 20 WHERE `Component` = 'ServerSetting'",
    "UPDATE `Component` SET `Attributes` = 16 WHERE `Component` = 'DataFolder'",
)
CLASSES = "Software\\Classes\\"
# The platform's category and automation proxy GUIDs the registration names.
PLATFORM_GUIDS = {
    "%CATID_INSERTABLE%": "{40FC6ED3-2438-11CF-A3DB-080036F12502}",
    "%CATID_CONTROL%": "{40FC6ED4-2438-11CF-A3DB-080036F12502}",
}
AUTOMATION_PROXY = "{00020424-0000-0000-C000-000000000046}"
KEPT_ON_UNREGISTER = "kKeptOnUnregister"


def msi_version(version):
    """Windows Installer compares only a.b.c, so the fourth field goes into the third."""
    major, minor, patch, tweak = (int(field) for field in version.split("."))
    build = patch * 1000 + tweak
    if major > 255 or minor > 255 or tweak > 999 or build > 65535:
        sys.exit(f"make_msi: {version} has no MSI form a.b.(c*1000+d) within 255.255.65535")
    return f"{major}.{minor}.{build}"


def table_entries(path):
    """(key, value name or None, data or None, flags) of every entry of the registration table."""
    entry = re.compile(r'^\s*\{"([^"]*)", (nullptr|"[^"]*"), (nullptr|"[^"]*"), ([\w |]+)\},$')
    text_or_none = lambda field: None if field == "nullptr" else field[1:-1].replace("\\\\", "\\")
    entries = []
    with open(path) as table:
        for line in table:
            if line.lstrip().startswith("{\""):
                found = entry.match(line)
                if not found:
                    sys.exit(f"make_msi: cannot read this registration entry: {line.strip()}")
                key, name, data, flags = found.groups()
                entries.append((key.replace("\\\\", "\\"), text_or_none(name), text_or_none(data), flags))
    return entries


def idl_declarations(path):
    """{kind: [(name, {attribute: argument})]} of the interfaces, library and coclasses."""
    with open(path) as idl:
        text = re.sub(r"//[^\n]*", "", idl.read())
    declarations = {}
    for attributes, kind, name in re.findall(r"\[([^\]]*)\]\s*(interface|library|coclass)\s+(\w+)", text):
        parsed = dict((word, argument) for word, argument in re.findall(r"(\w+)(?:\(([^)]*)\))?", attributes))
        declarations.setdefault(kind, []).append((name, parsed))
    return declarations


def registry_rows(arch):
    """(key, value name, data) under HKCU of the control's registration for the user: the
    registration table, then what the platform's type-library registration writes for the
    library inside the DLL. None as name is the default value; '*' is a key made on install
    and removed with its subkeys on removal."""
    idl = idl_declarations(os.path.join(ROOT, "verprobe", "verprobe.idl"))
    library_name, library = idl["library"][0]
    libid = "{" + library["uuid"].upper() + "}"
    variables = dict(PLATFORM_GUIDS)
    variables.update({"%CLSID%": "{" + idl["coclass"][0][1]["uuid"].upper() + "}", "%APPID%": libid,
                      "%MODULE%": "[#Verprobe]"})
    expand = lambda text: re.sub(r"%\w+%", lambda name: variables[name.group(0)], text)

    rows = []
    for key, name, data, flags in table_entries(os.path.join(ROOT, "verprobe", "registration_table.h")):
        if data is not None:
            rows.append((expand(key), name, expand(data)))
        elif KEPT_ON_UNREGISTER not in flags:
            rows.append((expand(key), "*", None))

    version = library["version"]
    library_key = f"TypeLib\\{libid}\\{version}"
    system = "win64" if arch == "amd64" else "win32"
    lcid = format(int(library["lcid"], 0), "x")
    rows += [(library_key, None, library_name),
             # LIBFLAG_FHASDISKIMAGE: the library is read from the DLL file.
             (library_key + "\\FLAGS", None, "8"),
             (library_key + f"\\{lcid}\\{system}", None, "[#Verprobe]"),
             (library_key + "\\HELPDIR", None, "[INSTALLFOLDER]")]
    for name, attributes in idl["interface"]:
        if "dual" in attributes or "oleautomation" in attributes:
            interface_key = "Interface\\{" + attributes["uuid"].upper() + "}"
            rows += [(interface_key, None, name),
                     (interface_key + "\\ProxyStubClsid", None, AUTOMATION_PROXY),
                     (interface_key + "\\ProxyStubClsid32", None, AUTOMATION_PROXY),
                     (interface_key + "\\TypeLib", None, libid),
                     (interface_key + "\\TypeLib", "Version", version)]
    return [(CLASSES + key, name, data) for key, name, data in rows]


def sql_text(text):
    if "'" in text:
        sys.exit(f"make_msi: a quote in registry text: {text}")
    return f"'{text}'"


def registry_inserts(arch):
    for number, (key, name, data) in enumerate(registry_rows(arch), 1):
        columns = {"Registry": sql_text(f"Verprobe{number}"), "Root": "1", "Key": sql_text(key),
                   "Component_": "'Verprobe'"}
        if name is not None:
            columns["Name"] = sql_text(name)
        if data is not None:
            columns["Value"] = sql_text(data)
        yield "INSERT INTO `Registry` ({}) VALUES ({})".format(
            ", ".join(f"`{column}`" for column in columns), ", ".join(columns.values()))


def main(version, arch, stage, out, epoch):
    epoch = int(epoch)
    product_version = msi_version(version)
    product_code = uuid.uuid5(UPGRADE_CODE, f"product {arch} {product_version}")
    package_code = uuid.uuid5(UPGRADE_CODE, f"package {arch} {product_version}")
    build_time = time.strftime("%Y-%m-%d %H:%M:%S", time.gmtime(epoch))
    environment = dict(os.environ, TZ="UTC")
    with tempfile.TemporaryDirectory() as files:
        # wixl takes relative file names only. The cabinet stores each file's time: the
        # build's, not the moment it was staged.
        sources = [os.path.join(stage, name) for name in PROGRAM_FILES]
        sources += [os.path.join(HERE, "msi_checks.js"), os.path.join(ROOT, "kelvlaunch", "res", "kelvlaunch.ico")]
        for source in sources:
            copy = os.path.join(files, os.path.basename(source))
            shutil.copyfile(source, copy)
            os.utime(copy, (epoch, epoch))
        msi = os.path.join(files, "kelvara.msi")
        # wixl stamps the package with the clock's time: the clock stands at the build's.
        subprocess.run(["faketime", build_time, "wixl", "-a", "x64" if arch == "amd64" else "x86",
                        "-D", f"Version={product_version}", "-D", f"ProductCode={product_code}",
                        "-o", msi, os.path.join(HERE, "kelvara.wxs")], check=True, env=environment, cwd=files)
        template = ("x64" if arch == "amd64" else "Intel") + ";1033"
        subprocess.run(["msibuild", msi, "-s", "Kelvara", "Ostrand", template, "{" + str(package_code).upper() + "}"],
                       check=True)
        for query in list(registry_inserts(arch)) + list(FIXES):
            subprocess.run(["msibuild", msi, "-q", query], check=True)
        shutil.copyfile(msi, out)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    main(*sys.argv[1:])
