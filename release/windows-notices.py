# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The Windows bundle's third-party notices, from what was built: Qt's bill of materials says
what third-party code each of its DLLs holds; the texts of their licences come from Qt's
source; the other DLLs (the MinGW runtime) are Debian's, with its copyright files. Fails on
a DLL without a notice and on a licence without its text.

usage: windows-notices.py notices QT OFFER DLL...   prints the notices (OFFER: the source)
       windows-notices.py sources QT DLL...         prints NAME=VERSION of the Debian source
                                                    packages of the DLLs not Qt's
"""
import json
import os
import re
import subprocess
import sys
import tarfile
from pathlib import Path

from notices import HOMEPAGE, appendix, debian_package, finish, own_entry, source_place

MINGW = "x86_64-w64-mingw32-g++-posix"
LICENCE_FILE = re.compile(r"(LICEN[CS]E|COPYING)[^/]*$|/[^/]*-license\.txt$", re.I)


def read_sbom(qt: Path):
    """Packages (by SPDX id), files (by name: SPDX id) and what each id contains or uses."""
    packages, files, related, current = {}, {}, {}, None
    for spdx in sorted((qt / "sbom").glob("*.spdx")):
        text = re.sub(r"<text>(.*?)</text>", lambda m: m.group(1).replace("\n", "\x00"),
                      spdx.read_text(), flags=re.S)
        for line in text.splitlines():
            key, _, value = line.partition(": ")
            value = value.replace("\x00", "\n").strip()
            if key in ("PackageName", "FileName"):
                current = {key: value}
            elif key == "SPDXID" and current is not None:
                if "FileName" in current:
                    files[Path(current.pop("FileName")).name.lower()] = value
                    current = None
                else:
                    packages[value] = current
            elif key == "Relationship" and value.split()[1] in ("CONTAINS", "DEPENDS_ON"):
                related.setdefault(value.split()[0], []).append(value.split()[2])
            elif current is not None and key.startswith("Package"):
                current[key] = value
    return packages, files, related


def qt_parts(sbom, name):
    """The SPDX ids of the packages that ship a file and all they hold or use; None if not Qt's."""
    packages, files, related = sbom
    if (file_id := files.get(name.lower())) is None:
        return None
    seen, todo = set(), [a for a, bs in related.items() if file_id in bs and a in packages]
    while todo:
        if (spdx_id := todo.pop()) in packages and spdx_id not in seen:
            seen.add(spdx_id)
            todo += related.get(spdx_id, [])
    return seen


def display_name(package):
    """Qt names code it took in by the module and what it is: Core_Attribution_md5."""
    module, _, part = package["PackageName"].partition("_Attribution_")
    return f"{part} (in Qt {module})" if part else package["PackageName"]


def licence_ids(expression):
    return sorted(set(re.findall(r"[A-Za-z0-9.+-]+", expression)) -
                  {"AND", "OR", "WITH", "NOASSERTION", "NONE"})


def qt_source_texts(qt: Path):
    """The attribution files and licence texts of Qt's source, by path."""
    with tarfile.open(next((qt / "source").glob("*.orig.tar.*"))) as tar:
        return {path: tar.extractfile(member).read().decode("utf-8", "replace")
                for member in tar if member.isfile()
                for path in [member.name.partition("/")[2]]
                if path.endswith("qt_attribution.json") or path.startswith("LICENSES/")
                or LICENCE_FILE.search(path)}


def own_licence_files(package, texts):
    """The component's own licence files, as its qt_attribution.json names them."""
    cited = re.search(r"extracted from:\s*/src_dir/qtbase/(\S+)\s+Entry index: (\d+)",
                      package.get("PackageComment", ""))
    if not cited:
        return []
    attribution = json.loads(texts[cited.group(1)], strict=False)
    if isinstance(attribution, list):
        attribution = attribution[int(cited.group(2))]
    names = attribution.get("LicenseFiles") or [attribution.get("LicenseFile")]
    return [os.path.normpath(f"{Path(cited.group(1)).parent}/{name}") for name in names if name]


def read_shipped(qt: Path, shipped):
    """Qt's DLLs, the third-party code in them and the Debian packages of the others."""
    sbom = read_sbom(qt)
    problems, qt_files, third_party, debian = [], [], {}, {}
    for path in shipped:
        name = Path(path).name
        if (parts := qt_parts(sbom, name)) is not None:
            qt_files.append(name)
            third = sorted((i for i in parts if "3rdparty" in i and "system-3rdparty" not in i),
                           key=lambda i: display_name(sbom[0][i]).lower())
            added = [display_name(sbom[0][i]) for i in third if i not in third_party]
            print(f"{name}: Qt" + (", adding " + ", ".join(added) if added else ""),
                  file=sys.stderr)
            third_party.update((i, sbom[0][i]) for i in third)
            continue
        package, sources = debian_package(subprocess.run(
            [MINGW, f"-print-file-name={path}"], capture_output=True, text=True,
            check=True).stdout.strip())
        if package is None:
            problems.append(f"{name}: neither Qt's nor from a Debian package")
        else:
            print(f"{name}: Debian package {package} (source {', '.join(sources)})",
                  file=sys.stderr)
            debian.setdefault((package, tuple(sources)), []).append(name)
    return sbom[0], problems, qt_files, third_party, debian


def notices(qt: Path, offer: str, shipped):
    packages, problems, qt_files, third_party, debian = read_shipped(qt, shipped)
    texts = qt_source_texts(qt)
    version = next((p.get("PackageVersion", "") for i, p in packages.items()
                    if i.endswith("qt-module-Core")), "")
    out = own_entry("Tabulon 2x2 for Windows: third-party software notices", offer) + [
        "Besides Tabulon 2x2 itself, this build holds the following software of other",
        "authors, under their own licences.", "", f"Qt {version}", "-" * (3 + len(version)), "",
        "Files: " + ", ".join(qt_files), "",
        "Qt is Copyright (C) The Qt Company Ltd. and other contributors, used here under",
        "the GNU Lesser General Public License version 3 (LGPL-3.0-only), whose text",
        "follows below with that of the GNU General Public License version 3 it builds on.",
        "Qt is linked dynamically: you may replace these DLLs with your own build of Qt.", "",
        "It was built from Debian's qt6-base source package, with Debian's patches.",
        "The complete corresponding source is published beside this build, in the same",
        f"place ({HOMEPAGE}releases/), as {offer}:",
        "that source package (.dsc, .orig.tar.xz, .debian.tar.xz), the steps that built",
        "Qt from it (rebuild.sh, below), and whatever else they name.", "",
        *["  " + line for line in (qt / "source/rebuild.sh").read_text().splitlines()], "",
        "Third-party code built into Qt", "-" * 30, ""]
    licences, own_files = {"LGPL-3.0-only", "GPL-3.0-only"}, {}
    for package in third_party.values():
        name = display_name(package)
        expression = package.get("PackageLicenseConcluded") or package.get(
            "PackageLicenseDeclared", "NOASSERTION")
        own = own_licence_files(package, texts)
        for file in own:
            own_files.setdefault(file, []).append(name)
            if file not in texts:
                problems.append(f"{name}: its licence file {file} is missing")
        for licence in licence_ids(expression):
            if f"LICENSES/{licence}.txt" not in texts and not own:
                problems.append(f"{name}: no text of {licence}")
            licences.add(licence)
        out += [f"{name} {package.get('PackageVersion', '')}".rstrip(), f"  Licence: {expression}"]
        copyright_text = package.get("PackageCopyrightText", "NOASSERTION")
        if "FTL" in licence_ids(expression):
            year = max(re.findall(r"\b(?:19|20)\d\d\b", copyright_text), default="")
            out += ["  Used under the FreeType License (FTL): the GPL-2.0-only cannot be",
                    "  combined with Qt's (L)GPL-3.0-only. As the FTL asks: this software is",
                    "  based in part on the work of the FreeType Team. Portions of this software",
                    f"  are copyright (C) {year} The FreeType Project (www.freetype.org). All",
                    "  rights reserved."]
        if copyright_text not in ("NOASSERTION", "NONE"):
            out += ["  " + line for line in copyright_text.splitlines()]
        out += ["  Its own licence: " + ", ".join(own) + " (below)"] if own else []
        out.append("")
    for (package, sources), files in sorted(debian.items()):
        title = f"The MinGW-w64 runtime: {', '.join(files)}"
        out += [title, "-" * len(title),
                f"From Debian's package {package}, built from these source packages:",
                *[f"  {s.replace('=', ' ')}: {source_place(s, offer)}" for s in sources],
                "Its copyright file:", "",
                Path(f"/usr/share/doc/{package}/copyright").read_text(errors="replace").rstrip(),
                ""]
    out += ["Licence files of the components", "=" * 31, ""]
    for file, users in sorted(own_files.items()):
        out += [f"--- {file} ({', '.join(users)}) ---", "", texts.get(file, "").rstrip(), ""]
    # A licence without a text in LICENSES/ comes with the component's own files, above.
    out += appendix({licence: texts.get(f"LICENSES/{licence}.txt", "") for licence in licences
                     if f"LICENSES/{licence}.txt" in texts or "GPL-3.0-only" in licence},
                    problems)
    # With a byte-order mark, so that the installer and Notepad read UTF-8.
    return finish(out, problems, "\ufeff")


if __name__ == "__main__":
    if sys.argv[1] == "sources":
        packages, problems, _, _, debian = read_shipped(Path(sys.argv[2]), sys.argv[3:])
        print("\n".join(sorted({s for _, sources in debian for s in sources})))
        sys.exit(1 if problems else 0)
    sys.exit(notices(Path(sys.argv[2]), sys.argv[3], sys.argv[4:]))
