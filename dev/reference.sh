#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes tests/data/reference.tsv with R (Debian's r-base-core). The test command
# reads the committed file and does not need R.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh --only r-base-core
Rscript dev/reference.R tests/data/reference.tsv
