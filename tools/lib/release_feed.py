#!/usr/bin/env python3
"""Writes the update description (update.ini) and SHA256SUMS of a release folder.

    release_feed.py DIST VERSION BASE_URL

DIST holds VerivirSetup-VERSION-x86.exe and VerivirSetup-VERSION-x64.exe. The
plain keys describe the x86 installer, the ".x64" keys the x64 one; a reader
that knows only the plain keys (and the single FileName/DlSize of older
readers) still finds a working installer.
"""
import hashlib
import os
import sys


def describe(path):
    with open(path, "rb") as f:
        data = f.read()
    return {"size": len(data), "sha256": hashlib.sha256(data).hexdigest()}


def kilobytes(size):
    # The downloader counts whole kilobytes per 4096-byte block; rounding down
    # makes its count reach the total, so the bar ends at 100 %.
    return max(1, size // 1024)


def feed(version, base_url, installers):
    major, minor = version.split(".")
    x86, x64 = installers["x86"], installers["x64"]
    lines = [
        "[Verivir]",
        "VerHi=%d" % int(major),
        "VerLo=%d" % int(minor),
        "AppName=Verivir",
        "Version=%s" % version,
        "Price=Freeware",
        "Size=%d kB" % kilobytes(x64["size"]),
        "LangCount=1",
        "Lang001=English",
    ]
    for suffix, item in (("", x86), (".x64", x64)):
        lines += [
            "Path001%s=%s/%s" % (suffix, base_url.rstrip("/"), item["name"]),
            "FileName001%s=%s" % (suffix, item["name"]),
            "DlSize001%s=%d" % (suffix, kilobytes(item["size"])),
            "Sha256001%s=%s" % (suffix, item["sha256"]),
        ]
    lines += ["FileName=%s" % x86["name"], "DlSize=%d" % kilobytes(x86["size"])]
    return "\r\n".join(lines) + "\r\n"


def main(dist, version, base_url):
    installers = {}
    for arch in ("x86", "x64"):
        name = "VerivirSetup-%s-%s.exe" % (version, arch)
        installers[arch] = dict(describe(os.path.join(dist, name)), name=name)
    with open(os.path.join(dist, "update.ini"), "w", newline="") as f:
        f.write(feed(version, base_url, installers))
    with open(os.path.join(dist, "SHA256SUMS"), "w") as f:
        for arch in ("x86", "x64"):
            f.write("%s  %s\n" % (installers[arch]["sha256"], installers[arch]["name"]))
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
