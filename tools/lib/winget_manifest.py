#!/usr/bin/env python3
"""Writes the Windows Package Manager manifests of a release into DIST/winget/:
the version, installer and default-locale files of one package version, as a
maintainer submits them.

    winget_manifest.py DIST VERSION BASE_URL

DIST holds VerivirSetup-VERSION-x86.exe and VerivirSetup-VERSION-x64.exe. The
publisher, the uninstall key (the product code) and the name in Apps & Features
come from installer/settings.nsh, which the installer reads too.
"""
import datetime
import hashlib
import json
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
SETTINGS_NSH = os.path.join(HERE, "..", "..", "installer", "settings.nsh")
MANIFEST_VERSION = "1.6.0"
PACKAGE_ID = "MorvelSoftwareDevelopment.Verivir"
LOCALE = "en-US"
SHORT_DESCRIPTION = (
    "An OpenGL screen saver: a sphere of points or lines spinning about two axes, "
    "a small sphere on a figure-eight path and a ring of 3-D text or a clock."
)


def installer_defines():
    defines = {}
    with open(SETTINGS_NSH) as f:
        for line in f:
            match = re.match(r'!define\s+(\w+)\s+"(.*)"\s*$', line)
            if match:
                defines[match.group(1)] = match.group(2)
    return defines


def scalar(value):
    # A JSON string is a YAML double-quoted scalar: "1.10" stays text, not a number.
    return json.dumps(value) if isinstance(value, str) else str(value)


def emit(node, indent=""):
    lines = []
    for key, value in node.items():
        if isinstance(value, dict):
            lines.append("%s%s:" % (indent, key))
            lines += emit(value, indent + "  ")
        elif isinstance(value, list):
            lines.append("%s%s:" % (indent, key))
            for item in value:
                if isinstance(item, dict):
                    inner = emit(item, indent + "  ")
                    lines.append(indent + "- " + inner[0][len(indent) + 2:])
                    lines += inner[1:]
                else:
                    lines.append("%s- %s" % (indent, scalar(item)))
        else:
            lines.append("%s%s: %s" % (indent, key, scalar(value)))
    return lines


def write(folder, name, kind, body):
    header = [
        "# Written by tools/release.",
        "# yaml-language-server: $schema=https://aka.ms/winget-manifest.%s.%s.schema.json"
        % (kind, MANIFEST_VERSION),
        "",
    ]
    with open(os.path.join(folder, name), "w", newline="\n") as f:
        f.write("\n".join(header + emit(body)) + "\n")


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest().upper()


def main(dist, version, base_url):
    nsh = installer_defines()
    product_code = nsh["UNINSTALL_KEY"].rsplit("\\", 1)[-1]
    common = {"PackageIdentifier": PACKAGE_ID, "PackageVersion": version}
    installers = []
    for arch, machine in (("x64", "x64"), ("x86", "x86")):
        name = "VerivirSetup-%s-%s.exe" % (version, arch)
        entry = {
            "Architecture": machine,
            "InstallerUrl": "%s/%s" % (base_url.rstrip("/"), name),
            "InstallerSha256": sha256(os.path.join(dist, name)),
        }
        if arch == "x86":
            # It names the x64 installer and ends with 2 on 64-bit Windows.
            entry["ExpectedReturnCodes"] = [
                {"InstallerReturnCode": 2, "ReturnResponse": "systemNotSupported"}
            ]
        installers.append(entry)
    installer = dict(common)
    installer.update({
        "InstallerType": "nullsoft",
        "Scope": "machine",
        "InstallModes": ["interactive", "silent"],
        "InstallerSwitches": {"Silent": "/S", "SilentWithProgress": "/S"},
        "UpgradeBehavior": "install",
        "ElevationRequirement": "elevatesSelf",
        "ProductCode": product_code,
        "AppsAndFeaturesEntries": [{
            "DisplayName": nsh["DISPLAY_NAME"],
            "Publisher": nsh["PUBLISHER"],
            "DisplayVersion": version,
            "ProductCode": product_code,
        }],
    })
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "")
    if epoch.isdigit():
        moment = datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc)
        installer["ReleaseDate"] = moment.strftime("%Y-%m-%d")
    installer.update({"Installers": installers, "ManifestType": "installer",
                      "ManifestVersion": MANIFEST_VERSION})

    locale = dict(common)
    locale.update({
        "PackageLocale": LOCALE,
        "Publisher": nsh["PUBLISHER"],
        "PackageName": "Verivir",
        "License": "Freeware",
        "ShortDescription": SHORT_DESCRIPTION,
        "Moniker": "verivir",
        "Tags": ["screensaver", "opengl"],
        "ManifestType": "defaultLocale",
        "ManifestVersion": MANIFEST_VERSION,
    })
    version_file = dict(common)
    version_file.update({"DefaultLocale": LOCALE, "ManifestType": "version",
                         "ManifestVersion": MANIFEST_VERSION})

    folder = os.path.join(dist, "winget")
    os.makedirs(folder, exist_ok=True)
    write(folder, PACKAGE_ID + ".yaml", "version", version_file)
    write(folder, PACKAGE_ID + ".installer.yaml", "installer", installer)
    write(folder, "%s.locale.%s.yaml" % (PACKAGE_ID, LOCALE), "defaultLocale", locale)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
