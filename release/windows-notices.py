# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The third-party notices of the Windows bundle, made from what was built, and checked as
they are made: it fails, saying why, on a shipped file that has no notice and on a licence
named in a notice whose text it cannot give.

usage: windows-notices.py notices QT OFFER FILE...   prints the notices
       windows-notices.py sources QT FILE...         prints NAME=VERSION of the Debian source
                                                     packages of the files not Qt's

QT is the Qt that qt-build.sh installed: its SPDX bill of materials (sbom/*.spdx) says
which third-party code each Qt library holds, with its licences and copyright lines, and
the Debian source package beside it (source/) holds the licence texts: Qt's LICENSES/
folder and each component's own licence files, named in the qt_attribution.json that the
bill of materials cites. OFFER names the archive of the corresponding source, published
beside the bundle. FILE is a shipped file, a DLL of the Windows folder. Files that are not
Qt's come from Debian packages (the MinGW runtime), whose copyright files are their
notices; their source packages are named with where they are: in OFFER when
debian-sources.sh could fetch them, or the snapshot archive.
"""
import json
import re
import subprocess
import sys
import tarfile
from pathlib import Path

from notices import HOMEPAGE, appendix, debian_package, own_entry, source_place

MINGW = "x86_64-w64-mingw32-g++-posix"
LICENCE_FILE = re.compile(r"(LICEN[CS]E|COPYING)[^/]*$|/[^/]*-license\.txt$", re.I)


def read_sbom(qt: Path):
    """Packages (by SPDX id: a dict of their fields), files (by name: SPDX id) and
    relationships (id -> ids it contains or depends on) of Qt's bill of materials."""
    packages, files, related = {}, {}, {}
    current = None
    for spdx in sorted((qt / "sbom").glob("*.spdx")):
        text = re.sub(r"<text>(.*?)</text>", lambda m: m.group(1).replace("\n", "\x00"),
                      spdx.read_text(), flags=re.S)
        for line in text.splitlines():
            key, _, value = line.partition(": ")
            value = value.replace("\x00", "\n").strip()
            if key == "PackageName":
                current = {"PackageName": value}
            elif key == "FileName":
                current = {"FileName": value}
            elif key == "SPDXID" and current is not None:
                if "PackageName" in current:
                    packages[value] = current
                else:
                    files[Path(current["FileName"]).name.lower()] = value
                current = None if "FileName" in current else current
            elif key == "Relationship":
                a, kind, b = value.split()[:3]
                if kind in ("CONTAINS", "DEPENDS_ON"):
                    related.setdefault(a, []).append(b)
            elif current is not None and key.startswith("Package"):
                current[key] = value
    return packages, files, related


def qt_parts(sbom, name: str):
    """The SPDX ids of the packages that ship this file and of all they hold or use, or
    None for a file that is not Qt's."""
    packages, files, related = sbom
    file_id = files.get(name.lower())
    if file_id is None:
        return None
    seen, todo = set(), [a for a, bs in related.items() if file_id in bs and a in packages]
    while todo:
        spdx_id = todo.pop()
        if spdx_id in seen or spdx_id not in packages:
            continue
        seen.add(spdx_id)
        todo.extend(related.get(spdx_id, []))
    return seen


def display_name(package):
    """Qt names code it took in by the module and what it is: Core_Attribution_md5."""
    module, _, part = package["PackageName"].partition("_Attribution_")
    return f"{part} (in Qt {module})" if part else package["PackageName"]


def licence_ids(expression: str):
    return sorted(set(re.findall(r"[A-Za-z0-9.+-]+", expression)) -
                  {"AND", "OR", "WITH", "NOASSERTION", "NONE"})


def qt_source_texts(qt: Path):
    """The attribution files and licence texts of the Qt source package, by path below
    its top folder."""
    texts = {}
    orig = next((qt / "source").glob("*.orig.tar.*"))
    with tarfile.open(orig) as tar:
        for member in tar:
            path = member.name.partition("/")[2]
            if member.isfile() and (path.endswith("qt_attribution.json") or
                                    path.startswith("LICENSES/") or LICENCE_FILE.search(path)):
                texts[path] = tar.extractfile(member).read().decode("utf-8", "replace")
    return texts


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
    folder = Path(cited.group(1)).parent
    return [Path(*(folder / name).parts).as_posix() for name in names if name]


def normalised(path: str):
    parts = []
    for part in path.split("/"):
        if part == "..":
            parts.pop()
        elif part not in ("", "."):
            parts.append(part)
    return "/".join(parts)


def header(qt_version, qt_files, offer, rebuild):
    terms = [
        "Qt is Copyright (C) The Qt Company Ltd. and other contributors, used here under",
        "the GNU Lesser General Public License version 3 (LGPL-3.0-only), whose text",
        "follows below with that of the GNU General Public License version 3 it builds on.",
        "Qt is linked dynamically: you may replace these DLLs with your own build of Qt.",
    ]
    return [f"Qt {qt_version}", "-" * (3 + len(qt_version)), "",
            "Files: " + ", ".join(qt_files), "", *terms, "",
            "It was built from Debian's qt6-base source package, with Debian's patches.",
            "The complete corresponding source is published beside this build, in the same",
            f"place ({HOMEPAGE}releases/), as {offer}:",
            "that source package (.dsc, .orig.tar.xz, .debian.tar.xz), the steps that built",
            "Qt from it (rebuild.sh, below), and whatever else they name.", "",
            *["  " + line for line in rebuild.splitlines()], ""]


def read_shipped(qt: Path, shipped):
    """Qt's files, the third-party code in them and the Debian packages of the others."""
    sbom = read_sbom(qt)
    packages = sbom[0]
    problems, qt_files, third_party, debian = [], [], {}, {}
    for path in shipped:
        name = Path(path).name
        parts = qt_parts(sbom, name)
        if parts is not None:
            qt_files.append(name)
            third = sorted((i for i in parts if "3rdparty" in i and "system-3rdparty" not in i),
                           key=lambda i: display_name(packages[i]).lower())
            added = [display_name(packages[i]) for i in third if i not in third_party]
            print(f"{name}: Qt" + (", adding " + ", ".join(added) if added else ""),
                  file=sys.stderr)
            third_party.update((i, packages[i]) for i in third)
            continue
        # A DLL is looked for where MinGW-w64 finds it.
        package, sources = debian_package(subprocess.run(
            [MINGW, f"-print-file-name={path}"], capture_output=True, text=True,
            check=True).stdout.strip())
        if package is None:
            problems.append(f"{name}: neither Qt's nor from a Debian package")
        else:
            print(f"{name}: Debian package {package} (source {', '.join(sources)})",
                  file=sys.stderr)
            debian.setdefault((package, tuple(sources)), []).append(name)
    return packages, problems, qt_files, third_party, debian


def sources(qt: Path, shipped):
    _, problems, _, _, debian = read_shipped(qt, shipped)
    print("\n".join(sorted({s for _, srcs in debian for s in srcs})))
    return 1 if problems else 0


def notices(qt: Path, offer: str, shipped):
    packages, problems, qt_files, third_party, debian = read_shipped(qt, shipped)
    texts = qt_source_texts(qt)
    qt_version = next((p.get("PackageVersion", "") for i, p in packages.items()
                       if i.endswith("qt-module-Core")), "")
    out = own_entry("Tabulon 2x2 for Windows: third-party software notices", offer)
    out += ["Besides Tabulon 2x2 itself, this build holds the following software of other",
            "authors, under their own licences.", ""]
    out += header(qt_version, qt_files, offer, (qt / "source/rebuild.sh").read_text())
    licences = {"LGPL-3.0-only", "GPL-3.0-only"}
    own_files = {}
    out += ["Third-party code built into Qt", "-" * 30, ""]
    for spdx_id, package in third_party.items():
        expression = package.get("PackageLicenseConcluded") or package.get(
            "PackageLicenseDeclared", "NOASSERTION")
        own = [normalised(f) for f in own_licence_files(package, texts)]
        for file in own:
            if file not in texts:
                problems.append(f"{display_name(package)}: its licence file {file} is missing")
            own_files.setdefault(file, []).append(display_name(package))
        for licence in licence_ids(expression):
            if f"LICENSES/{licence}.txt" not in texts and not own:
                problems.append(f"{display_name(package)}: no text of {licence}")
            licences.add(licence)
        out += [f"{display_name(package)} {package.get('PackageVersion', '')}".rstrip(),
                f"  Licence: {expression}"]
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
        if own:
            out.append("  Its own licence: " + ", ".join(own) + " (below)")
        out.append("")

    for (package, package_sources), files in sorted(debian.items()):
        title = f"The MinGW-w64 runtime: {', '.join(files)}"
        out += [title, "-" * len(title),
                f"From Debian's package {package}, built from these source packages:",
                *[f"  {s.replace('=', ' ')}: {source_place(s, offer)}" for s in package_sources],
                "Its copyright file:", "",
                Path(f"/usr/share/doc/{package}/copyright").read_text(errors="replace").rstrip(),
                ""]

    out += ["Licence files of the components", "=" * 31, ""]
    for file, users in sorted(own_files.items()):
        if file in texts:
            out += [f"--- {file} ({', '.join(users)}) ---", "", texts[file].rstrip(), ""]
    for licence in ("LGPL-3.0-only", "GPL-3.0-only"):
        if f"LICENSES/{licence}.txt" not in texts:
            problems.append(f"no text of {licence}")
    # Licences without a text in Qt's LICENSES/ come with the component's own files, above.
    out += appendix({licence: texts[f"LICENSES/{licence}.txt"] for licence in licences
                     if f"LICENSES/{licence}.txt" in texts}, problems)
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        return 1
    # A byte-order mark, so that the installer and Notepad read it as UTF-8.
    sys.stdout.write("\ufeff" + "\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    if sys.argv[1] == "sources":
        sys.exit(sources(Path(sys.argv[2]), sys.argv[3:]))
    sys.exit(notices(Path(sys.argv[2]), sys.argv[3], sys.argv[4:]))
