#!/usr/bin/env python3
"""Writes the signed update description (update.ini and update.ini.sig) and
SHA256SUMS of a release folder.

    release_feed.py DIST VERSION BASE_URL --feed-key KEY [--serial N] [--expires YYYY-MM-DD]

DIST holds VerivirSetup-VERSION-x86.exe and VerivirSetup-VERSION-x64.exe. The
plain keys describe the x86 installer, the ".x64" keys the x64 one; a reader
that knows only the plain keys (and the single FileName/DlSize of older
readers) still finds a working installer. Each installer is bound to the feed
by its SHA-256 and exact Length. Serial defaults to the UTC time as
YYYYMMDDhhmm (it must rise with every feed), Expires to 180 days from now:
publish a new feed before that, or Nuvora refuses the old one.
"""
import argparse
import datetime
import hashlib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import feed_key  # noqa: E402

VALID_DAYS = 180


def describe(path):
    with open(path, "rb") as f:
        data = f.read()
    return {"size": len(data), "sha256": hashlib.sha256(data).hexdigest()}


def kilobytes(size):
    # The downloader counts whole kilobytes per 4096-byte block; rounding down
    # makes its count reach the total, so the bar ends at 100 %.
    return max(1, size // 1024)


def feed(version, base_url, installers, serial, expires):
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
        "Serial=%s" % serial,
        "Expires=%s" % expires,
        "LangCount=1",
        "Lang001=English",
    ]
    for suffix, item in (("", x86), (".x64", x64)):
        lines += [
            "Path001%s=%s/%s" % (suffix, base_url.rstrip("/"), item["name"]),
            "FileName001%s=%s" % (suffix, item["name"]),
            "DlSize001%s=%d" % (suffix, kilobytes(item["size"])),
            "Sha256001%s=%s" % (suffix, item["sha256"]),
            "Length001%s=%d" % (suffix, item["size"]),
        ]
    lines += ["FileName=%s" % x86["name"], "DlSize=%d" % kilobytes(x86["size"])]
    return "\r\n".join(lines) + "\r\n"


def write_signed(dist, text, key):
    """update.ini, then its signature; neither stays when signing fails."""
    path = os.path.join(dist, "update.ini")
    signature = feed_key.sign_hex(key, text.encode())
    with open(path, "w", newline="") as f:
        f.write(text)
    with open(path + ".sig", "w", newline="") as f:
        f.write(signature + "\n")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dist")
    parser.add_argument("version")
    parser.add_argument("base_url")
    parser.add_argument("--feed-key", required=True, help="the private feed key (PEM)")
    now = datetime.datetime.now(datetime.timezone.utc)
    parser.add_argument("--serial", default=now.strftime("%Y%m%d%H%M"))
    parser.add_argument("--expires",
                        default=(now + datetime.timedelta(days=VALID_DAYS)).strftime("%Y-%m-%d"))
    args = parser.parse_args(argv)
    installers = {}
    for arch in ("x86", "x64"):
        name = "VerivirSetup-%s-%s.exe" % (args.version, arch)
        installers[arch] = dict(describe(os.path.join(args.dist, name)), name=name)
    text = feed(args.version, args.base_url, installers, args.serial, args.expires)
    write_signed(args.dist, text, args.feed_key)
    with open(os.path.join(args.dist, "SHA256SUMS"), "w") as f:
        for arch in ("x86", "x64"):
            f.write("%s  %s\n" % (installers[arch]["sha256"], installers[arch]["name"]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
