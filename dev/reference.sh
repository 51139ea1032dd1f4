#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Remakes tests/data/reference.tsv with R; the tests read the committed file.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh --only r-base-core
Rscript dev/reference.R tests/data/reference.tsv
