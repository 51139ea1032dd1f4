# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""What the notices of the Windows bundle and of the web page share: Tabulon's own entry, the
Debian package of a file and where its source is, the paragraph of a Debian copyright file
that covers a source file, the licence texts, and the notices written or their problems."""
import fnmatch
import os
import re
import subprocess
import sys
from pathlib import Path

from debian.copyright import Copyright
from debian.deb822 import Deb822

HOMEPAGE = "https://tabulon2x2.invalid/"  # the owner's home page, where releases are published


def own_entry(title, offer):
    return [title, "=" * len(title), "", "Tabulon 2x2", "-" * 11,
            "Copyright 2026 The Tabulon 2x2 authors. Free software under the GNU General Public",
            "License, version 3 or (at your option) any later version (GPL-3.0-or-later), whose",
            "text is LICENSE.txt, beside this file; it comes with no warranty. Its source is",
            f"published beside it ({HOMEPAGE}releases/), in {offer}.", ""]


def debian_package(path):
    """The Debian package that installed a file and its source packages, Built-Using's too, as
    NAME=VERSION; or (None, [])."""
    for candidate in (path, os.path.realpath(path)):
        owner = subprocess.run(["dpkg", "-S", candidate], capture_output=True, text=True)
        if owner.returncode == 0:
            package = owner.stdout.split(":")[0]
            fields = subprocess.run(
                ["dpkg-query", "-W", "-f=${source:Package}=${source:Version}, ${Built-Using}",
                 package], capture_output=True, text=True, check=True).stdout
            return package, [re.sub(r"\s*\(=\s*(.*)\)", r"=\1", s.strip())
                             for s in fields.split(",") if s.strip()]
    return None, []


def source_place(source, offer):
    """Where a source package NAME=VERSION is published: in OFFER, where debian-sources.sh
    fetched it, or in Debian's snapshot archive."""
    name, _, version = source.partition("=")
    fetched = Path(os.environ.get("TABULON_CACHE", "/nonexistent"), "sources",
                   f"{name}_{version.split(':')[-1]}", ".complete")
    return f"in {offer}" if fetched.exists() else \
        f"https://snapshot.debian.org/package/{name}/{version}/"


def copyright_of(package):
    return Copyright(open(f"/usr/share/doc/{package}/copyright", encoding="utf-8"), strict=False)


def covering(copyright_file, source_file):
    """The Files paragraph that covers a source file (python3-debian's lookup also takes a
    pattern matching only the path's start), and the texts of the licences it names."""
    paragraph = [p for p in copyright_file.all_files_paragraphs()
                 if any(fnmatch.fnmatchcase(source_file, pattern) for pattern in p.files)][-1]
    texts = {}
    for name in re.split(r"\s+(?:or|and)\s+|,\s*", paragraph.license.synopsis):
        name = name.split(" with ")[0].strip()
        texts[name] = paragraph.license.text
        for standalone in copyright_file.all_license_paragraphs():
            if standalone.license.synopsis == name:
                reference = Path(Deb822(standalone.dump()).get("Reference", "") or "/nonexistent")
                texts[name] = reference.read_text() if reference.is_file() \
                    else standalone.license.text
    return paragraph, texts


def appendix(texts, problems):
    """The licence texts, each once, by name; a name without its text is a problem."""
    out = ["Licence texts", "=" * 13, ""]
    for name, text in sorted(texts.items()):
        if not text.strip():
            problems.append(f"no text of the licence {name}")
        out += [f"--- {name} ---", "", text.rstrip(), ""]
    return out


def finish(out, problems, start=""):
    """Writes the notices, or names their problems and fails."""
    for problem in problems:
        print(problem, file=sys.stderr)
    if not problems:
        sys.stdout.write(start + "\n".join(out) + "\n")
    return 1 if problems else 0
