#!/usr/bin/env bash
# Remakes tests/data/reference.tsv with R (Debian's r-base-core). The test command
# reads the committed file and does not need R.
set -euo pipefail
cd "$(dirname "$0")/../.."

tools/deps.sh r-base-core
Rscript tools/reference/make_reference.R tests/data/reference.tsv
