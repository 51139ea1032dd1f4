#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the uninstaller's steps for the installed folder STAGE: delete exactly the files
# installed, then the folders they leave empty, deepest first.
cd "$1" || exit
find . -type f | sort | sed 's#^\./##; s#/#\\#g; s#.*#Delete "$INSTDIR\\&"#'
find . -mindepth 1 -type d | sort -r | sed 's#^\./##; s#/#\\#g; s#.*#RMDir "$INSTDIR\\&"#'
