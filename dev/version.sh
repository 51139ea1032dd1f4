#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the program's version, which the top CMakeLists.txt's project() holds.
sed -n 's/^project(Tabulon2x2 VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt"
