#!/usr/bin/env python3
"""Checks a release folder from outside: both installers are Windows programs of
the right machine type carrying the release's version, SHA256SUMS and the feed
describe exactly those files, the feed offers this version and is signed by
the key it was made with.

    check_dist.py DIST VERSION FEED-KEY
"""
import configparser
import hashlib
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PE_INFO = os.path.join(HERE, "..", "..", "tools", "lib", "pe_info.py")
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


def main(dist, version, key):
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
    print("release %s in %s: %d checks passed, %d failed" % (version, dist, checks.passed, checks.failed))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2], sys.argv[3]))
