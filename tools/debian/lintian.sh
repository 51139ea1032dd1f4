#!/usr/bin/env bash
# Run inside a clean root (in-root.sh): lintian, pedantic, on the source package and on
# binary packages. Only the tags that the owner's own facts will clear may remain: the
# maintainer's real address (bogus-mail-host...) and the bug that asks for the package
# to enter Debian, which its first changelog entry closes (initial-upload-closes-no-bugs).
# usage: lintian.sh DSC DEB...
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends lintian >/dev/null
lintian --version
report=$(mktemp)
chmod o+r "$report"
runuser -u nobody -- env HOME=/tmp lintian --pedantic --info --display-experimental "$@" \
    >"$report" 2>&1 || true
grep -v '^N:' "$report" || true
owner_facts='bogus-mail-host|bogus-mail-host-in-debian-changelog|initial-upload-closes-no-bugs'
if grep -E '^[EWIPX]: ' "$report" | grep -vE ": ($owner_facts)( |$)"; then
    echo "lintian reports the tags above" >&2
    exit 1
fi
echo "lintian: only the owner's facts remain"
