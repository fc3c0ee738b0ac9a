#!/usr/bin/env python3
"""The installer and the portable zip, tested the way they are used: built with scripts/package,
read with msitools, installed, upgraded and removed silently in a fresh Wine prefix of their own.

  package_test.py --probe PACKAGE_PROBE_EXE [--junit FILE] [--work DIR] [--keep-build]

--keep-build builds the first package on the existing release build, if there is one, instead of
afresh.

Needs a display (DISPLAY; scripts/test starts a virtual one) and the windows preset's
package_probe.exe, which asks Windows about what was installed. Each check is one JUnit test case,
which scripts/summarize-tests counts; the exit status is 1 when a check failed. The test's Wine
prefix has a wineserver of its own, started once and stopped at the end.
"""
import argparse
import os
import pwd
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ElementTree
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import readme_keys  # noqa: E402  (beside this file)

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
PACKAGE = os.path.join(ROOT, "scripts", "package")
PACKAGE_TOOL = os.path.join(ROOT, "scripts", "package-tool")
WINE_EXEC = os.path.join(ROOT, "scripts", "wine-exec")
RELEASE_EXE = os.path.join(ROOT, "build", "windows-release", "src", "quillomere.exe")
RELEASE_CLI = os.path.join(ROOT, "build", "windows-release", "src", "quillomere-cli.exe")
RESOURCES = os.path.join(ROOT, "src", "resources", "quillomere.rc")
ICON = os.path.join(ROOT, "src", "resources", "quillomere.ico")

# The product's identity for all versions (packaging/quillomere.wxs).
UPGRADE_CODE = "{E745FE57-2B3E-4212-BA72-B1DE1032EFD0}"
PUBLISHER = "The Quillomere authors"
UNINSTALL_KEY = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
MAX_PACKAGE_BYTES = 2 * 1024 * 1024
# Tables whose rows would put something outside the program's folder and the Start menu, or run
# code: a package that installs a program and a shortcut has none.
FOREIGN_TABLES = [
    "Registry", "RemoveRegistry", "IniFile", "RemoveIniFile", "Environment", "ServiceInstall",
    "ServiceControl", "Font", "TypeLib", "Class", "Extension", "ProgId", "MIME", "Verb", "AppId",
    "DuplicateFile", "MoveFile", "SelfReg", "CreateFolder", "Binary", "ODBCDataSource",
]
# Wine hands on only the low byte of a Windows exit code.
MSI_FATAL_ERROR = 1603 & 0xFF


class Checks:
    """Named checks with their outcome, written as JUnit test cases."""

    def __init__(self):
        self.cases = []

    def check(self, name, ok, detail=""):
        self.cases.append((name, bool(ok), detail))
        print(f"{'ok  ' if ok else 'FAIL'} {name}" + ("" if ok else f": {detail}"), flush=True)
        return bool(ok)

    def failed(self):
        return sum(1 for _, ok, _ in self.cases if not ok)

    def write_junit(self, path, seconds):
        suite = ElementTree.Element("testsuite", name="package", tests=str(len(self.cases)),
                                    failures=str(self.failed()), time=f"{seconds:.1f}")
        for name, ok, detail in self.cases:
            case = ElementTree.SubElement(suite, "testcase", name=name, classname="package",
                                          status="run" if ok else "fail")
            if not ok:
                ElementTree.SubElement(case, "failure", message=detail)
        root = ElementTree.Element("testsuites")
        root.append(suite)
        ElementTree.ElementTree(root).write(path, encoding="utf-8", xml_declaration=True)


def read(path, mode="rb"):
    with open(path, mode) as f:
        return f.read()


def run(command, env=None, timeout=600, cwd=None):
    """Runs a command with its output in a file (Wine's service processes would hold a pipe open);
    returns the exit status and the output."""
    with tempfile.TemporaryFile() as out:
        try:
            status = subprocess.run(command, env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=subprocess.STDOUT,
                                    timeout=timeout).returncode
        except subprocess.TimeoutExpired:
            status = None
        out.seek(0)
        return status, out.read().decode("utf-8", "replace")


def fields(text):
    """NAME=VALUE lines as a dict."""
    return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


class Package:
    """One built version: its MSI and zip, and what msiinfo reads from the MSI."""

    def __init__(self, out, version):
        self.version = version
        self.msi = os.path.join(out, f"Quillomere-{version}-x64.msi")
        self.zip = os.path.join(out, f"Quillomere-{version}-x64-portable.zip")
        self.out = out
        self.product_code = run([PACKAGE_TOOL, "product-code", version])[1].strip()
        self.exe = b""  # the bytes of the program that went into it
        self.cli = b""  # and of the command-line companion

    def table(self, name):
        """The rows of an MSI table as dicts (none when the table is missing)."""
        status, text = run(["msiinfo", "export", self.msi, name])
        lines = text.splitlines()
        if status != 0 or len(lines) < 3:
            return []
        columns = lines[0].split("\t")
        return [dict(zip(columns, line.split("\t"))) for line in lines[3:]]

    def properties(self):
        return {row["Property"]: row["Value"] for row in self.table("Property")}

    def summary(self):
        return dict(line.split(": ", 1) for line in
                    run(["msiinfo", "suminfo", self.msi])[1].splitlines() if ": " in line)


class Prefix:
    """The test's own Wine prefix and its wineserver."""

    def __init__(self, folder):
        self.folder = folder
        self.env = dict(os.environ, WINEPREFIX=folder, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        user = pwd.getpwuid(os.getuid()).pw_name
        self.user_dir = os.path.join(folder, "drive_c", "users", user)
        self.windows_user_dir = "C:\\users\\" + user
        self.documents = os.path.join(self.user_dir, "Documents")
        self.install_dir = os.path.join(self.user_dir, "AppData", "Local", "Programs", "Quillomere")
        self.windows_install_dir = self.windows_user_dir + r"\AppData\Local\Programs\Quillomere"
        self.shortcut = os.path.join(self.user_dir, "AppData", "Roaming", "Microsoft", "Windows",
                                     "Start Menu", "Programs", "Quillomere.lnk")

    def create(self):
        shutil.rmtree(self.folder, ignore_errors=True)
        # The project's prefix set-up: Documents inside the prefix, Wine's fonts.
        if run([os.path.join(ROOT, "scripts", "wine-prefix")], env=self.env)[0] != 0:
            return False
        run(["wineserver", "-p"], env=self.env)
        run([WINE_EXEC, "wineboot"], env=self.env)
        return True

    def stop(self):
        run(["wineserver", "-k"], env=self.env)

    def wine(self, *args, timeout=300):
        return run([WINE_EXEC, *args], env=self.env, timeout=timeout)

    def unix_path(self, windows_path):
        """C:\\... inside the prefix."""
        if not re.match(r"^[Cc]:\\", windows_path):
            return None
        return os.path.join(self.folder, "drive_c", *windows_path[3:].split("\\"))

    def registry(self, key):
        """{subkey path: {value name: value}} of `reg query KEY /s`."""
        status, text = self.wine("reg", "query", key, "/s")
        result, current = {}, None
        for line in text.splitlines():
            if line.startswith("HKEY_"):
                current = result.setdefault(line.strip(), {})
            elif current is not None and line.startswith("    "):
                parts = re.split(r"\s{4}", line.strip(), maxsplit=2)
                if len(parts) >= 2:
                    current[parts[0]] = parts[2] if len(parts) == 3 else ""
        return result

    def installed(self):
        """[(product code, name)] from Wine's installed-programs list."""
        text = self.wine("uninstaller", "--list")[1]
        return [tuple(line.split("|||", 1)) for line in text.splitlines() if "|||" in line]

    def uninstall_entry(self, product_code):
        for key, values in self.registry(UNINSTALL_KEY).items():
            if key.upper().endswith("\\" + product_code.upper()):
                return values
        return None

    def product_icon(self, product_code):
        """The icon file of the installer's own record of a per-user product."""
        packed = packed_guid(product_code)
        for key, values in self.registry(r"HKCU\Software\Microsoft\Installer\Products").items():
            if key.upper().endswith("\\" + packed):
                return values.get("ProductIcon")
        return None


def packed_guid(code):
    """A product code as the installer's registry keys name it."""
    hex_digits = code.strip("{}").replace("-", "").upper()
    parts = [hex_digits[0:8], hex_digits[8:12], hex_digits[12:16]]
    pairs = [hex_digits[i:i + 2] for i in range(16, 32, 2)]
    return "".join(p[::-1] for p in parts) + "".join(p[::-1] for p in pairs)


def pe_timestamp(path):
    data = read(path)
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, header + 8)[0]


def higher_version(version):
    major, minor, patch = (int(part) for part in version.split("."))
    return f"{major}.{minor}.{patch + 1}"


def build_packages(checks, work, keep_build):
    """Builds the project's version (afresh unless `keep_build`), a higher one on the same build
    and the first again; returns the two packages, or None."""
    out = os.path.join(work, "dist")
    shutil.rmtree(out, ignore_errors=True)
    started = time.monotonic()
    # A release build from nothing takes minutes on a busy machine with two cores.
    status, output = run([PACKAGE, "--out", os.path.join(out, "first")] +
                         (["--keep-build"] if keep_build else []), timeout=1800)
    version_file = os.path.join(ROOT, "build", "windows-release", "quil-version.txt")
    version = read(version_file, "r").strip() if os.path.exists(version_file) else "0.0.0"
    first = Package(os.path.join(out, "first"), version)
    if not checks.check("package: builds the installer and the zip", status == 0 and
                        os.path.exists(first.msi) and os.path.exists(first.zip), output[-2000:]):
        return None
    print(f"     (release build and packages: {time.monotonic() - started:.0f} s)")
    release_exe = read(RELEASE_EXE)
    release_cli = read(RELEASE_CLI) if os.path.exists(RELEASE_CLI) else b""
    status, output = run([PACKAGE, "--keep-build", "--version", higher_version(version), "--out",
                          os.path.join(out, "higher")])
    higher = Package(os.path.join(out, "higher"), higher_version(version))
    if not checks.check("package: builds a higher version on the same build", status == 0 and
                        os.path.exists(higher.msi), output[-2000:]):
        return None
    higher.exe = read(RELEASE_EXE)
    higher.cli = read(RELEASE_CLI)
    status, output = run([PACKAGE, "--keep-build", "--out", os.path.join(out, "again")])
    again = Package(os.path.join(out, "again"), version)
    checks.check("package: building the same version again gives the same bytes",
                 status == 0 and read(RELEASE_EXE) == release_exe and
                 read(again.msi) == read(first.msi) and read(again.zip) == read(first.zip),
                 output[-2000:])
    first.exe = release_exe
    first.cli = release_cli
    return first, higher


def check_files(checks, first):
    sizes = {os.path.basename(p): os.path.getsize(p) for p in (first.msi, first.zip)}
    checks.check("package: the installer and the zip are each under 2 MB",
                 all(size < MAX_PACKAGE_BYTES for size in sizes.values()), str(sizes))
    status, output = run(["sha256sum", "-c", "SHA256SUMS"], cwd=first.out)
    checks.check("package: SHA256SUMS holds both files' checksums",
                 status == 0 and output.count(": OK") == 2, output)
    with zipfile.ZipFile(first.zip) as archive:
        names = archive.namelist()
        readme = archive.read("README.txt").decode() if "README.txt" in names else ""
        notices = archive.read("LICENSE.txt").decode() if "LICENSE.txt" in names else ""
        exe = archive.read("quillomere.exe") if "quillomere.exe" in names else b""
        cli = archive.read("quillomere-cli.exe") if "quillomere-cli.exe" in names else b""
    checks.check("zip: holds quillomere.exe, quillomere-cli.exe, README.txt and LICENSE.txt, "
                 "nothing else",
                 sorted(names) == ["LICENSE.txt", "README.txt", "quillomere-cli.exe",
                                   "quillomere.exe"], str(names))
    checks.check("zip: the programs are the release build's", exe == first.exe and
                 cli == first.cli and cli)
    problems = readme_keys.problems(readme, read(RESOURCES, "r"))
    checks.check("zip: the README lists every key of the accelerator table and the menus",
                 not problems, "; ".join(problems))
    checks.check("zip: the README names the version and the files' places",
                 f"Quillomere {first.version}" in readme and "Documents\\Quillomere.quil" in readme
                 and "\r\n" in readme, readme[:200])
    holders = ("mingw-w64 project", "Lucent Technologies", "Lockless Inc.",
               "GCC RUNTIME LIBRARY EXCEPTION")
    checks.check("zip: LICENSE carries the notices of the runtime pieces linked in",
                 all(text in notices for text in holders))
    stamps = [pe_timestamp(path) for path in (RELEASE_EXE, RELEASE_CLI)]
    checks.check("exe: no time stamp and no build folder in the release programs",
                 stamps == [0, 0] and all(ROOT.encode() not in program and
                                          ROOT.encode("utf-16-le") not in program
                                          for program in (first.exe, first.cli)),
                 f"time stamps {stamps}")


def check_msi(checks, package, other):
    properties = package.properties()
    expected = {"ProductName": "Quillomere", "ProductVersion": package.version,
                "Manufacturer": PUBLISHER, "UpgradeCode": UPGRADE_CODE,
                "ProductCode": package.product_code}
    checks.check(f"msi {package.version}: product name, version, publisher and codes",
                 all(properties.get(k) == v for k, v in expected.items()) and
                 other.properties().get("UpgradeCode") == UPGRADE_CODE and
                 other.properties().get("ProductCode") != package.product_code,
                 str({k: properties.get(k) for k in expected}))
    summary = package.summary()
    # Word count bit 8: no elevated rights needed, so no UAC prompt for a per-user install.
    checks.check(f"msi {package.version}: a 64-bit package that needs no administrator rights",
                 summary.get("Template", "").startswith("x64;") and
                 int(summary.get("Source", "0").split()[0]) & 8 == 8, str(summary))

    directories = {row["Directory"]: (row["Directory_Parent"], row["DefaultDir"])
                   for row in package.table("Directory")}

    def chain(directory):
        """A folder as the names below the root, a system folder by its id."""
        names = []
        while directory in directories and directories[directory][0]:
            parent, name = directories[directory]
            names.append(directory if name == "." else name.split("|")[-1])
            directory = parent
        return "\\".join(reversed(names))

    components = package.table("Component")
    shortcuts = package.table("Shortcut")
    foreign = {t: len(rows) for t in FOREIGN_TABLES if (rows := package.table(t))}
    actions = package.table("CustomAction")
    checks.check(f"msi {package.version}: installs only into its folder and the Start menu",
                 chain("INSTALLFOLDER") == "LocalAppDataFolder\\Programs\\Quillomere" and
                 components and all(c["Directory_"] == "INSTALLFOLDER" for c in components) and
                 shortcuts and all(s["Directory_"] == "ProgramMenuFolder" for s in shortcuts) and
                 not foreign and all(int(a["Type"]) & 0x3F == 51 for a in actions),
                 f"folder {chain('INSTALLFOLDER')}, components {components}, shortcuts "
                 f"{[(s['Directory_'], s['Name']) for s in shortcuts]}, tables {foreign}, "
                 f"actions {actions}")
    conditions = package.table("LaunchCondition")
    checks.check(f"msi {package.version}: a newer version installed refuses with a message",
                 any(c["Condition"] == "NOT WIX_DOWNGRADE_DETECTED" and
                     "newer version of Quillomere" in c["Description"] for c in conditions),
                 str(conditions))


def check_program(checks, prefix, probe, what, exe_windows_path):
    status, output = prefix.wine(probe, "run", exe_windows_path, timeout=120)
    checks.check(f"{what}: starts, writes the sample page on F5 and quits with exit code 0",
                 status == 0, output.strip())


def check_cli(checks, prefix, package, what, cli_windows_path):
    """The command-line companion beside the program runs: its version, and a page generated
    from the sample project."""
    status, output = prefix.wine(cli_windows_path, "--version", timeout=60)
    checks.check(f"{what}: quillomere-cli.exe --version names version {package.version}",
                 status == 0 and output.strip() == f"quillomere-cli {package.version}",
                 f"status {status}: {output.strip()[:300]}")
    status, output = prefix.wine(cli_windows_path, "generate", timeout=60)
    checks.check(f"{what}: quillomere-cli.exe generate writes the sample project's page",
                 status == 0 and output.startswith("<html>") and
                 "<title>New project</title>" in output and output.rstrip().endswith("</html>"),
                 f"status {status}: {output[:300]}")


def check_entry(checks, prefix, package, what):
    installed = [entry for entry in prefix.installed() if entry[1] == "Quillomere"]
    entry = prefix.uninstall_entry(package.product_code) or {}
    expected = {"DisplayName": "Quillomere", "DisplayVersion": package.version,
                "Publisher": PUBLISHER,
                "UninstallString": f"MsiExec.exe /X{package.product_code}",
                "InstallLocation": prefix.windows_install_dir + "\\"}
    return checks.check(f"{what}: one entry in the installed programs, version {package.version}",
                        installed == [(package.product_code, "Quillomere")] and
                        all(entry.get(k, "").lower() == v.lower() for k, v in expected.items()),
                        f"list {installed}, entry {entry}")


def check_size(checks, prefix, package, what):
    """The installed-programs entry tells how much room the program takes, in KiB: the package's
    ARPSIZE, which Wine records as Size (its own EstimatedSize is always 0; Windows works
    EstimatedSize out itself)."""
    entry = prefix.uninstall_entry(package.product_code) or {}
    files = sum(os.path.getsize(os.path.join(prefix.install_dir, name))
                for name in os.listdir(prefix.install_dir)) if os.path.isdir(
                    prefix.install_dir) else 0
    sizes = []
    for name in ("EstimatedSize", "Size"):
        try:
            sizes.append(int(entry.get(name, ""), 0))
        except ValueError:
            pass
    checks.check(f"{what}: the entry has the installed files' size",
                 any(files <= size * 1024 < files + 1024 for size in sizes),
                 f"EstimatedSize {entry.get('EstimatedSize')}, Size {entry.get('Size')}, "
                 f"files {files} bytes")


def documents_files(prefix):
    names = ("Quillomere.quil", "Quillomere.html")
    return {name: read(os.path.join(prefix.documents, name))
            for name in names if os.path.exists(os.path.join(prefix.documents, name))}


def test_installer(checks, prefix, probe, first, higher, screenshot):
    installed_exe = os.path.join(prefix.install_dir, "quillomere.exe")
    installed_exe_windows = prefix.windows_install_dir + "\\quillomere.exe"

    status, output = prefix.wine("msiexec", "/i", first.msi, "/qn")
    if not checks.check(f"install {first.version}: msiexec /i /qn succeeds", status == 0, output):
        return
    installed_cli = os.path.join(prefix.install_dir, "quillomere-cli.exe")
    checks.check(f"install {first.version}: the programs are in the user's programs folder",
                 os.path.exists(installed_exe) and read(installed_exe) == first.exe and
                 os.path.exists(installed_cli) and read(installed_cli) == first.cli and
                 all(os.path.exists(os.path.join(prefix.install_dir, name))
                     for name in ("README.txt", "LICENSE.txt")),
                 str(os.listdir(prefix.install_dir) if os.path.isdir(prefix.install_dir) else
                     f"no {prefix.install_dir}"))
    version = fields(prefix.wine(probe, "version", installed_exe_windows)[1])
    checks.check(f"install {first.version}: the program's version information",
                 version.get("ProductVersion") == first.version and
                 version.get("FileVersion") == first.version and
                 version.get("fixed") == first.version + ".0" and
                 version.get("ProductName") == "Quillomere", str(version))
    check_program(checks, prefix, probe, f"install {first.version}", installed_exe_windows)
    check_cli(checks, prefix, first, f"install {first.version}",
              prefix.windows_install_dir + "\\quillomere-cli.exe")

    link = fields(prefix.wine(probe, "shortcut", prefix.shortcut)[1])
    icon = prefix.unix_path(link.get("icon", ""))
    checks.check(f"install {first.version}: Start-menu shortcut \"Quillomere\" to the program, "
                 "with its icon",
                 os.path.exists(prefix.shortcut) and
                 link.get("target", "").lower() == installed_exe_windows.lower() and
                 link.get("folder", "").lower().rstrip("\\") ==
                 prefix.windows_install_dir.lower() and
                 icon is not None and os.path.exists(icon) and read(icon) == read(ICON), str(link))
    check_size(checks, prefix, first, f"install {first.version}")
    if check_entry(checks, prefix, first, f"install {first.version}"):
        icon = prefix.unix_path(prefix.product_icon(first.product_code) or "")
        checks.check(f"install {first.version}: the entry shows the program's icon",
                     icon is not None and os.path.exists(icon) and read(icon) == read(ICON),
                     str(prefix.product_icon(first.product_code)))
    status, listing = prefix.wine("uninstaller", "--list")
    with open(os.path.join(os.path.dirname(screenshot), "package-uninstaller-list.txt"), "w") as f:
        f.write(listing)
    take_screenshot(prefix, screenshot)

    # The user's data, which nothing of the installer may touch.
    user_files = {
        "Quillomere.quil": b"QUIL user's project \x00\x01\xfe\xff",
        "Quillomere.html": "<p>Meine Startseite \u2014 \u00e9t\u00e9</p>\n".encode(),
    }
    for name, content in user_files.items():
        with open(os.path.join(prefix.documents, name), "wb") as f:
            f.write(content)

    status, output = prefix.wine("msiexec", "/i", higher.msi, "/qn")
    checks.check(f"upgrade to {higher.version}: msiexec /i /qn succeeds", status == 0, output)
    check_entry(checks, prefix, higher, f"upgrade to {higher.version}")
    version = fields(prefix.wine(probe, "version", installed_exe_windows)[1])
    checks.check(f"upgrade to {higher.version}: the program is replaced in place",
                 os.path.exists(installed_exe) and read(installed_exe) == higher.exe and
                 version.get("ProductVersion") == higher.version, str(version))
    checks.check(f"upgrade to {higher.version}: Documents' project and page are untouched",
                 documents_files(prefix) == user_files)

    status, output = prefix.wine("msiexec", "/i", first.msi, "/qn")
    checks.check(f"downgrade to {first.version}: refused (1603), the newer version stays",
                 status == MSI_FATAL_ERROR and read(installed_exe) == higher.exe,
                 f"status {status}")
    check_entry(checks, prefix, higher, f"downgrade to {first.version}")

    status, output = prefix.wine("msiexec", "/x", higher.msi, "/qn")
    checks.check(f"uninstall {higher.version}: msiexec /x /qn succeeds", status == 0, output)
    checks.check(f"uninstall {higher.version}: program, folder, shortcut and entry are gone",
                 not os.path.exists(prefix.install_dir) and not os.path.exists(prefix.shortcut) and
                 not [e for e in prefix.installed() if e[1] == "Quillomere"],
                 str(prefix.installed()))
    checks.check(f"uninstall {higher.version}: Documents' project and page are untouched",
                 documents_files(prefix) == user_files)

    # An administrator's install for all users.
    machine_exe = os.path.join(prefix.folder, "drive_c", "Program Files", "Quillomere",
                               "quillomere.exe")
    status, output = prefix.wine("msiexec", "/i", first.msi, "ALLUSERS=1", "/qn")
    checks.check(f"install {first.version} with ALLUSERS=1: into Program Files",
                 status == 0 and os.path.exists(machine_exe) and not os.path.exists(installed_exe),
                 output)
    status, output = prefix.wine("msiexec", "/x", first.msi, "ALLUSERS=1", "/qn")
    checks.check(f"uninstall {first.version} with ALLUSERS=1: removed again",
                 status == 0 and not os.path.exists(os.path.dirname(machine_exe)) and
                 not [e for e in prefix.installed() if e[1] == "Quillomere"], output)


def test_portable(checks, prefix, probe, first):
    folder = os.path.join(prefix.folder, "drive_c", "Quillomere portable")
    with zipfile.ZipFile(first.zip) as archive:
        archive.extractall(folder)
    check_program(checks, prefix, probe, "portable zip, unpacked",
                  "C:\\Quillomere portable\\quillomere.exe")
    check_cli(checks, prefix, first, "portable zip, unpacked",
              "C:\\Quillomere portable\\quillomere-cli.exe")


def take_screenshot(prefix, path):
    """Wine's installed-programs list, as a person sees it, on a Wine desktop window."""
    desktop = "/desktop=Quillomere,640x480"
    with open(os.devnull, "wb") as null:
        viewer = subprocess.Popen([WINE_EXEC, "explorer", desktop, "uninstaller"], env=prefix.env,
                                  stdin=subprocess.DEVNULL, stdout=null, stderr=null)
        time.sleep(4)
        run(["import", "-window", "root", "-crop", "640x480+0+0", path])
        run([WINE_EXEC, "explorer", desktop, "taskkill", "/im", "uninstaller.exe"], env=prefix.env)
        try:
            viewer.wait(timeout=15)
        except subprocess.TimeoutExpired:
            viewer.kill()


def test_all(checks, args):
    packages = build_packages(checks, args.work, args.keep_build)
    if not packages:
        return
    first, higher = packages
    check_files(checks, first)
    check_msi(checks, first, higher)
    check_msi(checks, higher, first)
    prefix = Prefix(os.path.join(args.work, "prefix"))
    if not os.environ.get("DISPLAY"):
        checks.check("wine: a display for the programs", False, "DISPLAY is not set")
    elif checks.check("wine: a fresh prefix of the test's own", prefix.create()):
        try:
            probe = os.path.abspath(args.probe)
            test_installer(checks, prefix, probe, first, higher,
                           os.path.join(ROOT, "build", "screenshot-uninstaller.png"))
            test_portable(checks, prefix, probe, first)
        finally:
            prefix.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--probe", required=True)
    parser.add_argument("--junit")
    parser.add_argument("--work", default=os.path.join(ROOT, "build", "package-test"))
    parser.add_argument("--keep-build", action="store_true")
    args = parser.parse_args()
    started = time.monotonic()
    checks = Checks()
    os.makedirs(args.work, exist_ok=True)

    try:
        test_all(checks, args)
    except Exception:  # a fault of the test itself still shows in the results
        checks.check("package test: runs to its end", False, traceback.format_exc())

    seconds = time.monotonic() - started
    if args.junit:
        checks.write_junit(args.junit, seconds)
    print(f"package test: {len(checks.cases) - checks.failed()} passed, {checks.failed()} failed "
          f"in {seconds:.0f} s")
    return 1 if checks.failed() else 0


if __name__ == "__main__":
    sys.exit(main())
