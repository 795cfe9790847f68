#!/usr/bin/env python3
"""Packs the release into a folder: the two zips, SHA256SUMS and the winget
and Scoop manifests filled from it. scripts/release.sh builds the exes and
calls this; see docs/release.md.

The same inputs give the same bytes: every zip entry has the same date (the
last commit's, SOURCE_DATE_EPOCH), the same permissions and a fixed place.
"""
import argparse
import datetime
import hashlib
import json
import pathlib
import re
import sys
import zipfile

HERE = pathlib.Path(__file__).resolve().parent
ROOT = HERE.parent

# (name in the zip, source in the tree); the exe comes first, from the build.
TEXTS = [("README.txt", HERE / "README.txt"), ("LICENSE", ROOT / "LICENSE"),
         ("CHANGES.txt", ROOT / "CHANGES.txt")]
ARCHES = [("x86", "32bit"), ("x64", "64bit")]
BOM = b"\xef\xbb\xbf"


def windows_text(name, source):
    """CRLF line ends for Notepad; a BOM on the .txt files, without which
    Notepad before Windows 10 1903 reads UTF-8 Japanese as the ANSI code page."""
    text = source.read_bytes()
    if text.startswith(BOM):
        text = text[len(BOM):]
    text = text.decode("utf-8")  # fails on a file that is not UTF-8
    text = text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")
    return BOM + text if name.endswith(".txt") else text


def zip_time(epoch):
    # Zip stores local time without a zone and nothing before 1980.
    t = datetime.datetime.fromtimestamp(max(epoch, 315532800), datetime.timezone.utc)
    return t.timetuple()[:6]


def write_zip(path, members, epoch):
    with zipfile.ZipFile(path, "w") as z:
        for name, data, mode in members:
            info = zipfile.ZipInfo(name, date_time=zip_time(epoch))
            info.create_system = 3  # the Unix mode below is read as such
            info.external_attr = (0o100000 | mode) << 16
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data, compresslevel=9)


def fill(template, values):
    text = template.read_text(encoding="utf-8")
    for key, value in values.items():
        text = text.replace("@" + key + "@", value)
    left = re.findall(r"@[A-Z0-9_]+@", text)
    if left:
        sys.exit(f"pack: {template.name}: no value for {', '.join(sorted(set(left)))}")
    return text


def main():
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("--version", required=True)
    p.add_argument("--epoch", type=int, required=True, help="SOURCE_DATE_EPOCH")
    p.add_argument("--url", required=True, help="where the zips will be downloaded from")
    p.add_argument("--homepage", required=True)
    p.add_argument("--exe-x86", type=pathlib.Path, required=True)
    p.add_argument("--exe-x64", type=pathlib.Path, required=True)
    p.add_argument("--out", type=pathlib.Path, required=True)
    a = p.parse_args()

    if not re.fullmatch(r"[0-9]+\.[0-9]+\.[0-9]+", a.version):
        sys.exit(f"pack: version {a.version!r} is not major.minor.patch")
    a.out.mkdir(parents=True, exist_ok=True)
    texts = [(name, windows_text(name, source), 0o644) for name, source in TEXTS]
    exes = {"x86": a.exe_x86, "x64": a.exe_x64}
    zips = {}
    for arch, _ in ARCHES:
        zips[arch] = f"ombry-{a.version}-{arch}.zip"
        write_zip(a.out / zips[arch], [("ombry.exe", exes[arch].read_bytes(), 0o755)] + texts, a.epoch)

    sums = "".join(f"{hashlib.sha256((a.out / zips[arch]).read_bytes()).hexdigest()}  {zips[arch]}\n"
                   for arch in sorted(zips))
    (a.out / "SHA256SUMS").write_text(sums, encoding="ascii", newline="\n")

    # The manifests take their hashes from SHA256SUMS as written.
    hashes = {}
    for line in (a.out / "SHA256SUMS").read_text(encoding="ascii").splitlines():
        digest, name = line.split("  ", 1)
        hashes[name] = digest
    url = a.url.rstrip("/")
    values = {
        "VERSION": a.version,
        "HOMEPAGE": a.homepage,
        "RELEASE_DATE": datetime.datetime.fromtimestamp(a.epoch, datetime.timezone.utc).strftime("%Y-%m-%d"),
    }
    for arch, _ in ARCHES:
        values[f"URL_{arch.upper()}"] = f"{url}/{zips[arch]}"
        values[f"SHA256_{arch.upper()}"] = hashes[zips[arch]]

    for template in sorted((HERE / "winget").glob("*.yaml")):
        target = a.out / "winget" / template.name
        target.parent.mkdir(exist_ok=True)
        target.write_text(fill(template, values), encoding="utf-8", newline="\n")
    scoop = fill(HERE / "scoop" / "ombry.json", values)
    json.loads(scoop)  # a template that no longer parses stops the release here
    (a.out / "scoop").mkdir(exist_ok=True)
    (a.out / "scoop" / "ombry.json").write_text(scoop, encoding="utf-8", newline="\n")


if __name__ == "__main__":
    main()
