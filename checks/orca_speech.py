# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Uses the program, or the page in a real browser, by keys alone under Orca, and checks what
Orca speaks at each step (its log, $TABULON_ORCA_LOG). In desktop_session.py --orca:

usage: orca_speech.py PROGRAM HELP_FOLDER
       orca_speech.py --web chromium|firefox PAGE_FOLDER
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
A, B, C, D = (f"{cell}, строка {row}, столбец {column}"
              for cell, row, column in ("a11", "b12", "c21", "d22"))
FISHER = ["Точный метод Фишера", "Отвергается на уровне 0.05"]
# Keys typed ("type:") or pressed at each step, and what Orca must then say, in order.
STEPS = [(None, [A]), ("type:30 Tab", [B]), ("type:20 Tab", [C]), ("type:20 Tab", [D]),
         ("type:30 Tab", ["Расчет"]),
         ("space", ["Хи-квадрат с поправкой Йейтса", "Отвергается на уровне 0.10"]),
         ("shift+Tab", [D]), ("shift+Tab", [C]), ("shift+Tab", [B]), ("shift+Tab", [A]),
         ("type:8 Tab", [B]), ("type:2 Tab", [C]), ("type:1 Tab", [D]), ("type:5 Tab", ["Расчет"]),
         ("space", FISHER), ("space", FISHER), ("Tab", ["Справка..."]),
         ("space", ["Справка Tabulon 2x2"]), ("Down", ["Программа проверяет"])]


def spoken(log: Path, offset: int) -> list[str]:
    with open(log, encoding="utf-8", errors="replace") as f:
        f.seek(offset)
        return re.findall(r"SPEECH OUTPUT: '(.*?)'", f.read())


def heard_in_order(utterances, expected):
    heard, position = "\n".join(utterances), 0
    for text in expected:
        if (position := heard.find(text, position)) < 0:
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
    shown, failures = log.stat().st_size, []
    with tempfile.TemporaryDirectory(prefix="tabulon-screenreader-") as tmp:
        processes = Processes(Path(tmp))
        try:
            if program == "--web":
                processes.start("browser", ["node", f"{Path(__file__).parent}/web/open.mjs", *args])
                wait_for(lambda: "loaded" in processes.output("browser"), 60, "the page")
                # Not focused again: Firefox would make Orca leave its focus mode.
                window("^Tabulon 2x2( \u2014 Mozilla Firefox)?$")
            else:
                processes.start("program", [program], cwd=args[0])
                keys("windowfocus", "--sync", window("^Tabulon 2x2$"))
            for pressed, expected in STEPS:
                offset = shown if pressed is None else log.stat().st_size
                for key in (pressed or "").split():
                    keys(*(["type", "--delay", "150", key[5:]] if key.startswith("type:")
                           else ["key", key]))
                try:
                    wait_for(lambda: heard_in_order(spoken(log, offset), expected),
                             STEP_SECONDS, "speech")
                    status = "ok"
                except RuntimeError:
                    status = "MISSING " + " / ".join(expected)
                    failures.append(pressed or "the window shown")
                settled(log)
                print(f"{pressed or 'the window shown'}: {status}\n"
                      f"    heard: {' | '.join(spoken(log, offset))}", flush=True)
        except (RuntimeError, OSError, subprocess.SubprocessError) as error:
            failures.append(str(error))
        finally:
            processes.end()
        if failures:
            for name in ("program", "browser"):
                print(f"{name} printed:\n{processes.output(name)}", file=sys.stderr)
            print("screen reader check failed: " + "; ".join(failures), file=sys.stderr)
            return 1
    print("screen reader check passed: Orca named every field, spoke every result and read "
          "the help page")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
