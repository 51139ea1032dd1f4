#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the benchmark in build-bench/ and runs it.
set -euo pipefail
cd "$(dirname "$0")/.."

dev/deps.sh libbenchmark-dev
cmake --preset bench
cmake --build build-bench -j"$(nproc)" --target bench_fourfold
build-bench/bench/bench_fourfold "$@"
