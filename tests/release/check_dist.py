#!/usr/bin/env python3
"""Checks a release folder from outside: both installers are Windows programs of
the right machine type carrying the release's version, SHA256SUMS and the feed
describe exactly those files, and the feed offers this version.

    check_dist.py DIST VERSION
"""
import configparser
import hashlib
import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PE_INFO = os.path.join(HERE, "..", "..", "tools", "lib", "pe_info.py")


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


def main(dist, version):
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
    with open(os.path.join(dist, "update.ini"), newline="") as f:
        feed.read_string(f.read())
    section = feed["Verivir"]
    major, minor = version.split(".")
    checks.expect("VerHi", section.get("VerHi"), str(int(major)))
    checks.expect("VerLo", section.get("VerLo"), str(int(minor)))
    checks.expect("Version", section.get("Version"), version)
    checks.expect("Price", section.get("Price"), "Freeware")
    checks.expect("LangCount", section.get("LangCount"), "1")
    for arch, suffix in (("x86", ""), ("x64", ".x64")):
        name, data = files[arch]
        digest = hashlib.sha256(data).hexdigest()
        checks.expect("SHA256SUMS " + name, sums.get(name), digest)
        checks.expect("Sha256001" + suffix, section.get("Sha256001" + suffix), digest)
        checks.expect("FileName001" + suffix, section.get("FileName001" + suffix), name)
        checks.expect("Path001" + suffix + " ends", section.get("Path001" + suffix, "").rsplit("/", 1)[-1], name)
        checks.expect("DlSize001" + suffix, int(section.get("DlSize001" + suffix, "0")), len(data) // 1024)
    # Readers that know only the plain keys get the x86 installer, whole.
    checks.expect("FileName", section.get("FileName"), files["x86"][0])
    checks.expect("DlSize", section.get("DlSize"), section.get("DlSize001"))
    print("release %s in %s: %d checks passed, %d failed" % (version, dist, checks.passed, checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
