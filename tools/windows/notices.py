"""The third-party notices of the Windows bundle, made from what was built.

usage: notices.py QT STAGE SOURCE_TAR          prints THIRD-PARTY-NOTICES.txt
       notices.py --check QT STAGE NOTICES     fails unless every DLL in STAGE is accounted
                                               for and each of its parts has its notice

QT is the Qt for Windows that qt.sh installed: its SPDX bill of materials (sbom/*.spdx)
says which third-party code each Qt DLL holds, with its licences and copyright lines, and
source/LICENSES holds the licence texts. The MinGW runtime DLLs are found in the Debian
packages they came from, whose copyright files are their notices.
"""
import re
import subprocess
import sys
from pathlib import Path

MINGW = "x86_64-w64-mingw32-g++-posix"


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


def qt_parts(qt: Path, dll: str):
    """The SPDX ids of the packages that ship this DLL and of all they hold or use."""
    packages, files, related = read_sbom(qt)
    file_id = files.get(dll.lower())
    if file_id is None:
        return None
    owners = [a for a, bs in related.items() if file_id in bs and a in packages]
    seen, todo = set(), list(owners)
    while todo:
        spdx_id = todo.pop()
        if spdx_id in seen or spdx_id not in packages:
            continue
        seen.add(spdx_id)
        todo.extend(related.get(spdx_id, []))
    return seen


def bundled_third_party(packages, ids):
    """Third-party code built into Qt, not the system's own libraries."""
    return sorted((i for i in ids if "3rdparty" in i and "system-3rdparty" not in i),
                  key=lambda i: display_name(packages[i]).lower())


def display_name(package):
    """Qt names code it took in by the module and what it is: Core_Attribution_md5."""
    module, _, part = package["PackageName"].partition("_Attribution_")
    return f"{part} (in Qt {module})" if part else package["PackageName"]


def licence_ids(expression: str):
    return sorted(set(re.findall(r"[A-Za-z0-9.+-]+(?:-[A-Za-z0-9.+-]+)*", expression)) -
                  {"AND", "OR", "WITH", "NOASSERTION", "NONE"})


def mingw_package(dll: str):
    """The Debian package that installed this MinGW runtime DLL."""
    path = subprocess.run([MINGW, f"-print-file-name={dll}"], capture_output=True, text=True,
                          check=True).stdout.strip()
    owner = subprocess.run(["dpkg", "-S", str(Path(path).resolve())], capture_output=True,
                           text=True)
    if owner.returncode != 0:
        owner = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True)
    return owner.stdout.split(":")[0] if owner.returncode == 0 else None


def dlls(stage: Path):
    return sorted(p.relative_to(stage).as_posix() for p in stage.rglob("*.dll"))


def generate(qt: Path, stage: Path, source_tar: str):
    packages, _, _ = read_sbom(qt)
    qt_version = next((p.get("PackageVersion", "") for i, p in packages.items()
                       if i.endswith("qt-module-Core")), "")
    out = ["Tabulon 2x2 for Windows: third-party software notices", "=" * 53, "",
           "This folder holds, besides Tabulon 2x2 (tabulon2x2.exe and readme.html),",
           "the following libraries of other authors, under their own licences.", ""]
    third_party, licences, mingw = {}, set(), {}
    qt_dlls = []
    for dll in dlls(stage):
        parts = qt_parts(qt, Path(dll).name)
        if parts is not None:
            qt_dlls.append(dll)
            for i in bundled_third_party(packages, parts):
                third_party[i] = packages[i]
        else:
            mingw.setdefault(mingw_package(Path(dll).name), []).append(dll)

    out += [f"Qt {qt_version}", "-" * (3 + len(qt_version)), "",
            "Files: " + ", ".join(qt_dlls), "",
            "Qt is The Qt Company's, used here under the GNU Lesser General Public License",
            "version 3 (LGPL-3.0-only), whose text follows below with that of the GNU General",
            "Public License version 3 it builds on. Qt is linked dynamically: you may replace",
            "these DLLs with your own build of Qt of the same version and configuration.", "",
            f"The corresponding source is published beside this bundle as {source_tar}:",
            "Debian's qt6-base source package that these DLLs were built from (.dsc,",
            ".orig.tar.xz, .debian.tar.xz), the configure options (configure-options.txt),",
            "the CMake toolchain file for MinGW-w64 (mingw-w64.cmake) and the script that",
            "built it (qt.sh). To rebuild Qt from it on Debian 13 with MinGW-w64:",
            "  dpkg-source -x qt6-base_*.dsc qtbase && mkdir build && cd build",
            "  ../qtbase/configure -prefix <dir> $(cat ../configure-options.txt) \\",
            "      -qt-host-path /usr -- -G Ninja -DCMAKE_TOOLCHAIN_FILE=../mingw-w64.cmake",
            "  cmake --build . && cmake --install .", ""]
    licences |= {"LGPL-3.0-only", "GPL-3.0-only"}

    out += ["Third-party code built into Qt", "-" * 30, ""]
    for package in third_party.values():
        expression = package.get("PackageLicenseConcluded") or package.get(
            "PackageLicenseDeclared", "NOASSERTION")
        licences |= set(licence_ids(expression))
        version = package.get("PackageVersion", "")
        out += [f"{display_name(package)} {version}".rstrip(), f"  Licence: {expression}"]
        copyright_text = package.get("PackageCopyrightText", "NOASSERTION")
        if copyright_text not in ("NOASSERTION", "NONE"):
            out += ["  " + line for line in copyright_text.splitlines()]
        out.append("")

    for name, files in sorted(mingw.items(), key=lambda kv: str(kv[0])):
        copyright_file = Path(f"/usr/share/doc/{name}/copyright")
        out += [f"MinGW-w64 runtime: {', '.join(files)}", "-" * 40,
                f"From Debian's package {name}; its copyright file:", "",
                copyright_file.read_text(errors="replace").rstrip(), ""]

    out += ["Licence texts", "=" * 13, ""]
    for licence in sorted(licences):
        text = qt / "source" / "LICENSES" / f"{licence}.txt"
        if text.exists():
            out += [f"--- {licence} ---", "", text.read_text(errors="replace").rstrip(), ""]
    # A byte-order mark, so that the installer and Notepad read it as UTF-8.
    sys.stdout.write("\ufeff" + "\n".join(out) + "\n")
    return 0


def check(qt: Path, stage: Path, notices_file: Path):
    notices = notices_file.read_text(encoding="utf-8-sig")
    packages, _, _ = read_sbom(qt)
    missing = []
    for dll in dlls(stage):
        parts = qt_parts(qt, Path(dll).name)
        if parts is None:
            package = mingw_package(Path(dll).name)
            if package is None or f"From Debian's package {package};" not in notices:
                missing.append(f"{dll}: no notice of where it comes from")
            else:
                print(f"{dll}: Debian package {package}")
            continue
        names = [display_name(packages[i]) for i in bundled_third_party(packages, parts)]
        for name in names:
            if f"\n{name}" not in notices:
                missing.append(f"{dll}: {name} has no notice")
        print(f"{dll}: Qt, with {', '.join(names) or 'no third-party code'}")
    for licence in ("LGPL-3.0-only", "GPL-3.0-only"):
        if f"--- {licence} ---" not in notices:
            missing.append(f"the text of {licence} is missing")
    for line in missing:
        print(line, file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    if sys.argv[1] == "--check":
        sys.exit(check(Path(sys.argv[2]), Path(sys.argv[3]), Path(sys.argv[4])))
    sys.exit(generate(Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3]))
