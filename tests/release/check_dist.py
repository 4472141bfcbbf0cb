#!/usr/bin/env python3
"""Checks a release folder from outside: both installers are Windows programs of
the right machine type carrying the release's version, SHA256SUMS, the feed and
the winget manifests describe exactly those files, the feed offers this version
and is signed by the key it was made with. With SIGNER (a PEM certificate) the
installers and the programs and uninstaller in them must carry valid Authenticode
signatures by that certificate.

    check_dist.py DIST VERSION FEED-KEY [SIGNER]
"""
import configparser
import hashlib
import os
import re
import shutil
import subprocess
import sys
import tempfile

import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
PE_INFO = os.path.join(HERE, "..", "..", "tools", "lib", "pe_info.py")
SETTINGS_NSH = os.path.join(HERE, "..", "..", "installer", "settings.nsh")
WINGET_ID = "MorvelSoftwareDevelopment.Verivir"
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "lib"))
import feed_key  # noqa: E402


class Checks:
    def __init__(self):
        self.failed = 0
        self.passed = 0

    def expect(self, what, actual, expected):
        if actual == expected:
            self.passed += 1
        else:
            self.failed += 1
            print("FAIL %s: %r, expected %r" % (what, actual, expected))


def signed_by(path, cert):
    der = subprocess.run(["openssl", "x509", "-in", cert, "-outform", "DER"],
                         capture_output=True, check=True).stdout
    verify = subprocess.run(
        ["osslsigncode", "verify", "-CAfile", cert, "-require-leaf-hash",
         "sha256:" + hashlib.sha256(der).hexdigest(), "-in", path], capture_output=True)
    return verify.returncode == 0


def check_signatures(checks, dist, files, cert):
    work = tempfile.mkdtemp()
    try:
        for arch, (name, data) in files.items():
            installer = os.path.join(dist, name)
            checks.expect(name + " signed by the test signer", signed_by(installer, cert), True)
            # The programs and the uninstaller as the installer carries them.
            folder = os.path.join(work, arch)
            subprocess.run(["7zz", "e", "-y", "-o" + folder, installer, "$SYSDIR/Verivir.scr",
                            "Nuvora.exe", "uninstall.exe"], capture_output=True)
            for program in ("Verivir.scr", "Nuvora.exe", "uninstall.exe"):
                path = os.path.join(folder, program)
                checks.expect("%s in %s signed by the test signer" % (program, name),
                              os.path.isfile(path) and signed_by(path, cert), True)
            # One byte changed after signing breaks the signature.
            changed = os.path.join(work, name)
            with open(changed, "wb") as f:
                middle = len(data) // 2
                f.write(data[:middle] + bytes([data[middle] ^ 1]) + data[middle + 1:])
            checks.expect(name + " changed after signing", signed_by(changed, cert), False)
    finally:
        shutil.rmtree(work)


def installer_defines():
    with open(SETTINGS_NSH) as f:
        return dict(re.findall(r'^!define\s+(\w+)\s+"(.*)"\s*$', f.read(), re.M))


def check_winget(checks, dist, version, files, feed):
    folder = os.path.join(dist, "winget")
    manifests = {}
    for kind, name in (("version", WINGET_ID + ".yaml"),
                       ("installer", WINGET_ID + ".installer.yaml"),
                       ("defaultLocale", WINGET_ID + ".locale.en-US.yaml")):
        with open(os.path.join(folder, name)) as f:
            manifest = yaml.safe_load(f)
        manifests[kind] = manifest
        checks.expect(name + " ManifestType", manifest.get("ManifestType"), kind)
        checks.expect(name + " PackageVersion", manifest.get("PackageVersion"), version)
        schema = tuple(int(n) for n in str(manifest.get("ManifestVersion", "0")).split("."))
        checks.expect(name + " ManifestVersion 1.6 or later", schema >= (1, 6, 0), True)
    nsh = installer_defines()
    installer = manifests["installer"]
    checks.expect("winget InstallerType", installer.get("InstallerType"), "nullsoft")
    checks.expect("winget Scope", installer.get("Scope"), "machine")
    checks.expect("winget silent switch", installer.get("InstallerSwitches", {}).get("Silent"), "/S")
    checks.expect("winget ProductCode", installer.get("ProductCode"),
                  nsh["UNINSTALL_KEY"].rsplit("\\", 1)[-1])
    checks.expect("winget Publisher", manifests["defaultLocale"].get("Publisher"), nsh["PUBLISHER"])
    # The feed's folder is the base URL both were made for.
    base = feed.get("Path001").rsplit("/", 1)[0] + "/"
    entries = {i.get("Architecture"): i for i in installer.get("Installers", [])}
    checks.expect("winget architectures", sorted(entries), ["x64", "x86"])
    for arch, (name, data) in files.items():
        entry = entries.get(arch, {})
        checks.expect("winget InstallerSha256 " + arch, str(entry.get("InstallerSha256")).lower(),
                      hashlib.sha256(data).hexdigest())
        checks.expect("winget InstallerUrl " + arch, entry.get("InstallerUrl"), base + name)


def main(dist, version, key, signer=None):
    checks = Checks()
    files = {}
    for arch in ("x86", "x64"):
        name = "VerivirSetup-%s-%s.exe" % (version, arch)
        path = os.path.join(dist, name)
        if not os.path.isfile(path):
            print("FAIL %s is missing" % path)
            return 1
        with open(path, "rb") as f:
            data = f.read()
        files[arch] = (name, data)
        _, machine, carried = subprocess.run(
            [sys.executable, PE_INFO, path], capture_output=True, text=True).stdout.split()
        checks.expect(name + " machine", machine, arch)
        checks.expect(name + " version", carried, version)

    sums = {}
    with open(os.path.join(dist, "SHA256SUMS")) as f:
        for line in f:
            digest, name = line.split()
            sums[name] = digest
    checks.expect("SHA256SUMS names", sorted(sums), sorted(n for n, _ in files.values()))

    feed = configparser.ConfigParser(interpolation=None)
    feed.optionxform = str
    with open(os.path.join(dist, "update.ini"), "rb") as f:
        text = f.read()
    feed.read_string(text.decode())
    with open(os.path.join(dist, "update.ini.sig")) as f:
        signature = f.read()
    checks.expect("update.ini.sig form", bool(re.fullmatch(r"[0-9a-f]{128}\n?", signature)), True)
    checks.expect("update.ini.sig verifies", feed_key.verify(key, text, signature), True)
    section = feed["Verivir"]
    major, minor = version.split(".")
    checks.expect("VerHi", section.get("VerHi"), str(int(major)))
    checks.expect("VerLo", section.get("VerLo"), str(int(minor)))
    checks.expect("Version", section.get("Version"), version)
    checks.expect("Price", section.get("Price"), "Freeware")
    checks.expect("LangCount", section.get("LangCount"), "1")
    checks.expect("Serial", bool(re.fullmatch(r"[1-9][0-9]{11}", section.get("Serial", ""))), True)
    checks.expect("Expires", bool(re.fullmatch(r"\d{4}-\d\d-\d\d", section.get("Expires", ""))), True)
    for arch, suffix in (("x86", ""), ("x64", ".x64")):
        name, data = files[arch]
        digest = hashlib.sha256(data).hexdigest()
        checks.expect("SHA256SUMS " + name, sums.get(name), digest)
        checks.expect("Sha256001" + suffix, section.get("Sha256001" + suffix), digest)
        checks.expect("FileName001" + suffix, section.get("FileName001" + suffix), name)
        checks.expect("Path001" + suffix + " ends", section.get("Path001" + suffix, "").rsplit("/", 1)[-1], name)
        checks.expect("DlSize001" + suffix, int(section.get("DlSize001" + suffix, "0")), len(data) // 1024)
        checks.expect("Length001" + suffix, section.get("Length001" + suffix), str(len(data)))
    # Readers that know only the plain keys get the x86 installer, whole.
    checks.expect("FileName", section.get("FileName"), files["x86"][0])
    checks.expect("DlSize", section.get("DlSize"), section.get("DlSize001"))
    check_winget(checks, dist, version, files, section)
    if signer:
        check_signatures(checks, dist, files, signer)
    print("release %s in %s: %d checks passed, %d failed" % (version, dist, checks.passed, checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
