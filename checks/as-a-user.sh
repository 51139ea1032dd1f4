#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
# What a newcomer does, as an ordinary user with sudo, in a clone of their own (of this
# clone's commit) on a clean Debian 13: the README's two commands (dev/run.sh until its
# window shows on a virtual display) and the web page's release command; then nothing in the
# clone may be owned by root.
# usage: checks/as-a-user.sh         (it runs itself in a clean root, with release/in-clean-root.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
[ -n "${TABULON_IN_ROOT:-}" ] || exec release/in-clean-root.sh trixie "$0" "$@"

dev/deps.sh --no-recommends --only sudo git ca-certificates
useradd --create-home --shell /bin/bash newcomer
echo "newcomer ALL=(ALL) NOPASSWD: ALL" >/etc/sudoers.d/newcomer
git clone --quiet "$PWD" ~newcomer/tabulon2x2
# The Debian 12 root that the web page is built in, and the packages installed there, copied
# from this run's cache: the user's own cache, without making them again.
mkdir -p ~newcomer/.cache/tabulon2x2/roots ~newcomer/.cache/tabulon2x2/apt-archives
find "$TABULON_CACHE/roots" -maxdepth 1 -name 'bookworm-amd64*.tar.gz' \
    -exec cp -t ~newcomer/.cache/tabulon2x2/roots {} +
[ ! -d "$TABULON_CACHE/apt-archives/bookworm" ] ||
    cp -r "$TABULON_CACHE/apt-archives/bookworm" ~newcomer/.cache/tabulon2x2/apt-archives
chown -R newcomer: ~newcomer/tabulon2x2 ~newcomer/.cache
# A login shell, as the user gets: none of this run's settings.
su --login newcomer -c 'set -euo pipefail
    cd tabulon2x2
    dev/test.sh
    # The program, as dev/run.sh starts it, until its window shows.
    dev/deps.sh desktop
    timeout 600 /usr/bin/python3 checks/desktop_session.py bash -c "
        dev/run.sh & run=\$!
        /usr/bin/python3 checks/desktop_session.py window \"^Tabulon 2x2\$\" >/dev/null && shown=0 || shown=1
        kill \$run
        wait \$run 2>/dev/null
        exit \$shown"
    echo "dev/run.sh: the window showed"
    release/web-page.sh
    owned=$(find . ~/.cache/tabulon2x2 -user root)
    [ -z "$owned" ] || { echo "owned by root in the clone or the cache:" >&2; echo "$owned" >&2; exit 1; }
    echo "nothing in the clone or the cache is owned by root"'
