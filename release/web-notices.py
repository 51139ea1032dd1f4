# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""The third-party notices of the web page, made from what was built: the page holds
Tabulon's own code and, in its engine (engine.wasm), the parts of emscripten's C library
and compiler runtime that the linker took in. The linker's trace names them; each is traced
to its source file in Debian's package, and its notice is the paragraph of that package's
copyright file that covers the source file, with the texts of the licences it names. It
fails, saying why, on a linked file it cannot trace and on a licence without its text.

usage: web-notices.py OFFER BUILD_FOLDER <TRACE   prints the notices
       web-notices.py --sources <TRACE            prints NAME=VERSION of the source packages
TRACE is what the link printed with -Wl,--trace; files in BUILD_FOLDER are Tabulon's own.
OFFER names the archive of the page's source, published beside it.
"""
import fnmatch
import functools
import os
import re
import subprocess
import sys
from pathlib import Path

HOMEPAGE = "https://tabulon2x2.invalid/"  # the owner's home page, where releases are published
# Where the source of each library of emscripten's lies in its tree.
LIBRARIES = {"libc": "system/lib/libc", "libcompiler_rt": "system/lib/compiler-rt"}


def package_of(path):
    """The Debian package that installed a file, and its source package as NAME=VERSION."""
    owner = subprocess.run(["dpkg", "-S", path], capture_output=True, text=True)
    if owner.returncode:
        return None, None
    package = owner.stdout.split(":")[0]
    source = subprocess.run(["dpkg-query", "-W", "-f=${source:Package}=${source:Version}",
                             package], capture_output=True, text=True, check=True).stdout
    return package, source


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


@functools.cache
def paragraphs(copyright_file):
    """The paragraphs of a machine-readable copyright file, as dicts of their fields."""
    result = []
    for block in re.split(r"\n\s*\n", Path(copyright_file).read_text()):
        fields, key = {}, None
        for line in block.splitlines():
            if line[:1] in (" ", "\t") and key:
                fields[key] += "\n" + line
            elif ":" in line:
                key, _, value = line.partition(":")
                fields[key] = value.strip()
        result.append(fields)
    return tuple(result)


def covering(files_paragraphs, source):
    """The last Files paragraph whose patterns match the file, as Debian reads them."""
    found = None
    for paragraph in files_paragraphs:
        if any(fnmatch.fnmatchcase(source, pattern) for pattern in paragraph["Files"].split()):
            found = paragraph
    return found


def licence_names(expression):
    return [n for n in re.split(r"\s+(?:or|and)\s+|,\s*", expression.split("\n")[0].strip())
            if n and not n.startswith("with")]


def main():
    trace = sys.stdin.read().splitlines()
    if sys.argv[1] == "--sources":
        sources = {package_of(path)[1] for path, _ in linked(trace, sys.argv[2])}
        print("\n".join(sorted(s for s in sources if s)))
        return 0
    offer, build = sys.argv[1:3]
    problems, covered = [], {}
    for path, member in linked(trace, build):
        package, source = package_of(path)
        if package is None:
            problems.append(f"{path}: not from a Debian package")
            continue
        root = Path(f"/usr/share/{package}")
        sources = source_files(root, path, member)
        if not sources:
            problems.append(f"{path}({member}): no source file in {root}")
        all_paragraphs = paragraphs(f"/usr/share/doc/{package}/copyright")
        files_paragraphs = [p for p in all_paragraphs if "Files" in p]
        for file in sources:
            paragraph = covering(files_paragraphs, file)
            key = (package, source, id(paragraph))
            covered.setdefault(key, (paragraph, all_paragraphs, []))[2].append(file)
        print(f"{Path(path).name}({member or ''}): {', '.join(sources)}", file=sys.stderr)

    out = ["Tabulon 2x2 for the web: third-party software notices", "=" * 54, "",
           "Tabulon 2x2", "-" * 11,
           "Copyright 2026 The Tabulon 2x2 authors. Free software under the GNU General Public",
           "License, version 3 or (at your option) any later version (GPL-3.0-or-later), whose",
           "text is LICENSE.txt, beside this file; it comes with no warranty. Its source is",
           f"published beside the page, in {offer}.", "",
           "Besides Tabulon 2x2 itself, the page's engine (engine.wasm) holds the following",
           "code of the C library and compiler runtime of emscripten, which compiled it.", ""]
    texts = {}
    for (package, source, _), (paragraph, all_paragraphs, files) in covered.items():
        name, _, version = source.partition("=")
        where = (f"in {offer}" if (Path(os.environ.get("TABULON_CACHE", "/nonexistent"),
                                        "sources", f"{name}_{version.split(':')[-1]}",
                                        ".complete")).exists()
                 else f"https://snapshot.debian.org/package/{name}/{version}/")
        out += [f"From Debian's package {package} {version}, whose source package {name} is",
                f"{where}.", "Files:", *["  " + file for file in files],
                "Copyright:" + paragraph.get("Copyright", ""),
                "License: " + paragraph["License"], ""]
        for licence in licence_names(paragraph["License"]):
            # An exception ("with ...") is in the paragraph itself, the licence apart from it.
            licence = licence.split(" with ")[0]
            standalone = [p for p in all_paragraphs
                          if "Files" not in p and p.get("License", "").split("\n")[0] == licence]
            text = standalone[0]["License"] if standalone else paragraph["License"]
            if standalone and "Reference" in standalone[0]:
                text = licence + "\n" + "\n".join(
                    " " + (line or ".") for line in
                    Path(standalone[0]["Reference"]).read_text().splitlines())
            if "\n" not in text:
                problems.append(f"no text of the licence {licence}")
            texts[licence] = text
    out += ["Licence texts", "=" * 13, ""]
    for licence, text in sorted(texts.items()):
        body = "\n".join(line[1:] if line.strip() != "." else "" for line in text.split("\n")[1:])
        out += [f"--- {licence} ---", "", body.rstrip(), ""]
    out += [f"The page's source, and that of this code, is published beside it ({HOMEPAGE}),",
            f"as {offer}.", ""]
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        return 1
    sys.stdout.write("\n".join(out) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
