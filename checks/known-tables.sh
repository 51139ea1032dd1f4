#!/bin/sh
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints every table the tests know, "a b c d" a line: the examples', then the R reference's.
cd "$(dirname "$0")/.." || exit 1
awk -F '\t' '$1 == "table" { print $3, $4, $5, $6 }' tests/data/examples.tsv
awk -F '\t' '$1 ~ /^[0-9]+$/ { print $1, $2, $3, $4 }' tests/data/reference.tsv
