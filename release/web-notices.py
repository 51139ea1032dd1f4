# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The web page's third-party notices, from what was built: each file of emscripten's libraries
that the link's trace (-Wl,--trace) names is traced to its source file in Debian's package,
whose copyright file's paragraph covering it is its notice. Fails on a file it cannot trace
and on a licence without its text. Files in BUILD_FOLDER are Tabulon's own.

usage: web-notices.py OFFER BUILD_FOLDER <TRACE          prints the notices (OFFER: the source)
       web-notices.py --sources BUILD_FOLDER <TRACE      prints NAME=VERSION of the sources
"""
import os
import re
import sys
from pathlib import Path

from notices import (appendix, copyright_of, covering, debian_package, finish, own_entry,
                     source_place)

LIBRARIES = {"libc": "system/lib/libc", "libcompiler_rt": "system/lib/compiler-rt"}


def linked(trace, build):
    """(archive or object, member or None) of every linked file that is not Tabulon's."""
    for line in trace:
        line = line.strip()
        match = re.fullmatch(r"(.*)\((.*)\)", line)
        path, member = (match.group(1), match.group(2)) if match else (line, None)
        path = os.path.realpath(os.path.join(build, path))  # relative to the build folder
        if line and not path.startswith(os.path.realpath(build) + os.sep):
            yield path, member


def source_files(root: Path, path, member):
    """The source files in the package's tree that a linked file was compiled from."""
    name = Path(member or path).stem
    library = re.sub(r"(-[a-z]+)*$", "", Path(path).stem) if member else "libc"
    found = sorted(p for p in (root / LIBRARIES[library]).rglob(f"{name}.*")
                   if p.suffix in (".c", ".cpp", ".S", ".s"))
    return [p.relative_to(root).as_posix() for p in found]


def main():
    trace = sys.stdin.read().splitlines()
    if sys.argv[1] == "--sources":
        sources = {debian_package(path)[1][0] for path, _ in linked(trace, sys.argv[2])
                   if debian_package(path)[0]}
        print("\n".join(sorted(sources)))
        return 0
    offer, build = sys.argv[1:3]
    problems, covered, texts = [], {}, {}
    for path, member in linked(trace, build):
        package, sources = debian_package(path)
        if package is None:
            problems.append(f"{path}: not from a Debian package")
            continue
        files = source_files(Path(f"/usr/share/{package}"), path, member)
        if not files:
            problems.append(f"{path}({member}): no source file in /usr/share/{package}")
        for file in files:
            paragraph, licences = covering(copyright_of(package), file)
            texts.update(licences)
            key = (package, sources[0], paragraph.dump())
            covered.setdefault(key, (paragraph, []))[1].append(file)
        print(f"{Path(path).name}({member or ''}): {', '.join(files)}", file=sys.stderr)

    out = own_entry("Tabulon 2x2 for the web: third-party software notices", offer)
    out += ["Besides Tabulon 2x2 itself, the page's engine (engine.wasm) holds the following",
            "code of the C library and compiler runtime of emscripten, which compiled it.", ""]
    for (package, source, _), (paragraph, files) in covered.items():
        name, _, version = source.partition("=")
        out += [f"From Debian's package {package} {version}, whose source package {name} is",
                f"{source_place(source, offer)}.", "Files:", *["  " + file for file in files],
                "Copyright:", *["  " + line.strip() for line in paragraph.copyright.splitlines()
                                if line.strip()],
                "License: " + paragraph.license.synopsis,
                *[" " + (line or ".") for line in paragraph.license.text.splitlines()], ""]
    return finish(out + appendix(texts, problems), problems)


if __name__ == "__main__":
    sys.exit(main())
