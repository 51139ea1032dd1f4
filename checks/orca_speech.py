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
import builtins
import os
import re
import runpy
import socket
import subprocess
import sys
import tempfile
import time
from pathlib import Path

from desktop_session import Session, wait_for

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


def run_orca():
    """Runs Orca with its debug log written line by line, so that nothing it spoke is lost
    when it is ended: Orca opens the log with a plain open(), which buffers in blocks."""
    plain_open = builtins.open

    def line_buffered(file, mode="r", *args, **kwargs):
        if mode == "w" and not args and "buffering" not in kwargs:
            kwargs["buffering"] = 1
        return plain_open(file, mode, *args, **kwargs)

    builtins.open = line_buffered
    sys.argv = ["/usr/bin/orca", *sys.argv[2:]]
    runpy.run_path("/usr/bin/orca", run_name="__main__")


def listening(port):
    with socket.socket() as client:
        return client.connect_ex(("127.0.0.1", port)) == 0


def start_page(session, folder):
    """Serves the page from 127.0.0.1 and opens it in Chromium, as an app in a window of its
    own, with its accessibility on for Orca."""
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        port = probe.getsockname()[1]
    session.start("server", ["/usr/bin/python3", "-m", "http.server", "--bind", "127.0.0.1",
                             str(port), "--directory", folder])
    wait_for(lambda: listening(port), 30, "the server")
    session.start("chromium", [
        "chromium", "--no-sandbox", "--no-first-run", "--disable-background-networking",
        "--disable-component-update", "--disable-sync", "--disable-gpu",
        "--force-renderer-accessibility", f"--user-data-dir={session.folder / 'chromium'}",
        "--window-size=1024,768", f"--app=http://127.0.0.1:{port}/"])


def main(program: str, help_folder: str) -> int:
    with tempfile.TemporaryDirectory(prefix="tabulon-screenreader-") as tmp:
        folder = Path(tmp)
        session = Session(folder)
        log = folder / "orca-debug.log"
        failures = []
        try:
            session.start_accessibility_bus()
            orca = session.start("orca", ["/usr/bin/python3", __file__, "--run-orca",
                                          "--replace", "-u", str(folder / "orca"),
                                          f"--debug-file={log}"])
            wait_for(lambda: log.exists() and spoken(log, 0), 60, "Orca to start speaking")
            # What it says as the window first shows counts for the first step.
            shown = log.stat().st_size
            if program == "--web":
                start_page(session, help_folder)
            else:
                session.start("program", [program], cwd=help_folder)
            window = session.window("Tabulon 2x2")
            for name, keys, expected in STEPS:
                offset = shown if keys is None else log.stat().st_size
                if keys is None:
                    session.xdotool("windowfocus", "--sync", window)
                for key in keys or []:
                    if key.startswith("type:"):
                        session.xdotool("type", "--delay", "150", key[5:])
                    else:
                        session.xdotool("key", key)
                try:
                    wait_for(lambda: heard_in_order(spoken(log, offset), expected),
                             STEP_SECONDS, "speech")
                    status = "ok"
                except RuntimeError:
                    status = "MISSING " + " / ".join(expected)
                    failures.append(name)
                # The rest of this step's speech arrives before the next step begins.
                settled(log)
                heard = " | ".join(spoken(log, offset))
                print(f"{name}: {status}\n    heard: {heard}", flush=True)
                if orca.poll() is not None:
                    failures.append("Orca ended")
                    break
        except (RuntimeError, subprocess.SubprocessError) as error:
            failures.append(str(error))
        finally:
            session.end()
        if failures:
            for name in ("at-spi-bus", "orca", "program", "server", "chromium"):
                if session.output(name):
                    print(f"{name} printed:\n{session.output(name)}", file=sys.stderr)
            keep = os.environ.get("TABULON_ORCA_LOG")
            if keep and log.exists():
                Path(keep).write_bytes(log.read_bytes())
                print(f"Orca's debug log kept as {keep}", file=sys.stderr)
            print("screen reader check failed: " + "; ".join(failures), file=sys.stderr)
            return 1
        print("screen reader check passed: Orca named every field, spoke every result "
              "and read the help page")
        return 0


if __name__ == "__main__":
    if sys.argv[1] == "--run-orca":
        run_orca()
    else:
        sys.exit(main(*sys.argv[1:3]))
