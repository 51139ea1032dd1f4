# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Drives the real program, or the web page in a real Chromium, by keys alone under the
Orca screen reader, on a virtual display, and checks what Orca speaks at each step (read
from Orca's debug log): the same steps for both.

usage: orca_speech.py PROGRAM HELP_FOLDER
       orca_speech.py --web PAGE_FOLDER     the page served from 127.0.0.1
Run it on a private session bus and a virtual display (dbus-run-session, xvfb-run), with
Debian's /usr/bin/python3.
"""
"""Drives the real program, or the web page in a real browser, by keys alone under the
Orca screen reader, and checks what Orca speaks at each step (read from its debug log,
$TABULON_ORCA_LOG): the same steps for both.

usage: orca_speech.py PROGRAM HELP_FOLDER
       orca_speech.py --web ENGINE PAGE_FOLDER    the page served from 127.0.0.1, in Chromium
                                                  or Firefox (checks/web/open.mjs)
Run it in a desktop session with Orca: desktop_session.py --orca /usr/bin/python3 ...
"""
import os
import re
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from desktop_session import Processes, keys, wait_for, window

STEP_SECONDS = 25  # the longest wait for what one key press should make Orca say

# What Orca must say after each step: keys typed or pressed, and texts heard in order.
STEPS = [
    ("window shown", None, ["a, строка 1, столбец 1"]),
    ("type 30, Tab", ["type:30", "Tab"], ["b, строка 1, столбец 2"]),
    ("type 20, Tab", ["type:20", "Tab"], ["c, строка 2, столбец 1"]),
    ("type 20, Tab", ["type:20", "Tab"], ["d, строка 2, столбец 2"]),
    ("type 30, Tab", ["type:30", "Tab"], ["Расчет"]),
    ("Space on Расчет", ["space"],
     ["Хи-квадрат с поправкой Йейтса", "Отвергается на уровне 0.10"]),
    ("Shift+Tab", ["shift+Tab"], ["d, строка 2, столбец 2"]),
    ("Shift+Tab", ["shift+Tab"], ["c, строка 2, столбец 1"]),
    ("Shift+Tab", ["shift+Tab"], ["b, строка 1, столбец 2"]),
    ("Shift+Tab", ["shift+Tab"], ["a, строка 1, столбец 1"]),
    ("type 8, Tab", ["type:8", "Tab"], ["b, строка 1, столбец 2"]),
    ("type 2, Tab", ["type:2", "Tab"], ["c, строка 2, столбец 1"]),
    ("type 1, Tab", ["type:1", "Tab"], ["d, строка 2, столбец 2"]),
    ("type 5, Tab", ["type:5", "Tab"], ["Расчет"]),
    ("Space on Расчет", ["space"], ["Точный метод Фишера", "Отвергается на уровне 0.05"]),
    ("Space on Расчет again", ["space"], ["Точный метод Фишера", "Отвергается на уровне 0.05"]),
    ("Tab", ["Tab"], ["Справка..."]),
    ("Space on Справка...", ["space"], ["Справка Tabulon 2x2"]),
    ("Down in help", ["Down"], ["Программа проверяет"]),
]


def spoken(log: Path, offset: int) -> list[str]:
    with open(log, encoding="utf-8", errors="replace") as f:
        f.seek(offset)
        text = f.read()
    return re.findall(r"SPEECH OUTPUT: '(.*?)'", text)


def heard_in_order(utterances, expected):
    heard = "\n".join(utterances)
    position = 0
    for text in expected:
        position = heard.find(text, position)
        if position < 0:
            return False
        position += len(text)
    return True


def settled(log: Path, quiet=0.5, longest=5.0):
    """Waits, a bounded time, until Orca has said nothing for a moment."""
    deadline = time.monotonic() + longest
    size, since = log.stat().st_size, time.monotonic()
    while time.monotonic() < deadline and time.monotonic() - since < quiet:
        time.sleep(0.1)
        if log.stat().st_size != size:
            size, since = log.stat().st_size, time.monotonic()


def main(program, *args) -> int:
    log = Path(os.environ["TABULON_ORCA_LOG"])
    # What it says as the window first shows counts for the first step.
    shown = log.stat().st_size
    failures = []
    with tempfile.TemporaryDirectory(prefix="tabulon-screenreader-") as tmp:
        processes = Processes(Path(tmp))
        try:
            if program == "--web":
                processes.start("browser", ["node", f"{Path(__file__).parent}/web/open.mjs", *args])
                wait_for(lambda: "loaded" in processes.output("browser"), 60, "the page")
                # Each browser adds its own name to the page's title.
                title = "^Tabulon 2x2( \u2014 Mozilla Firefox)?$"
            else:
                processes.start("program", [program], cwd=args[0])
                title = "^Tabulon 2x2$"
            focus = window(title)
            for name, pressed, expected in STEPS:
                offset = shown if pressed is None else log.stat().st_size
                # The browser has the focus as it opens; the focus given to its window again
                # would make Orca on Firefox leave its focus mode in the field.
                if pressed is None and program != "--web":
                    keys("windowfocus", "--sync", focus)
                for key in pressed or []:
                    if key.startswith("type:"):
                        keys("type", "--delay", "150", key[5:])
                    else:
                        keys("key", key)
                try:
                    wait_for(lambda: heard_in_order(spoken(log, offset), expected),
                             STEP_SECONDS, "speech")
                    status = "ok"
                except RuntimeError:
                    status = "MISSING " + " / ".join(expected)
                    failures.append(name)
                # The rest of this step's speech arrives before the next step begins.
                settled(log)
                print(f"{name}: {status}\n    heard: {' | '.join(spoken(log, offset))}", flush=True)
        except (RuntimeError, OSError, subprocess.SubprocessError) as error:
            failures.append(str(error))
        finally:
            processes.end()
        if failures:
            for name in ("program", "browser"):
                if processes.output(name):
                    print(f"{name} printed:\n{processes.output(name)}", file=sys.stderr)
            print("screen reader check failed: " + "; ".join(failures), file=sys.stderr)
            return 1
    print("screen reader check passed: Orca named every field, spoke every result and read "
          "the help page")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
