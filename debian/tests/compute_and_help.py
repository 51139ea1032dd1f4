# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Starts the installed program as its launcher does, calculates 30 20 20 30 and opens help
by keys, and reads what it shows through the accessibility bus."""
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "checks"))
from desktop_session import Processes, keys, wait_for, window  # noqa: E402


def shows(what):
    """Whether a name or text of the program's accessible objects holds this."""
    import pyatspi  # only once the session's buses are in the environment
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tabulon2x2":
            for obj in pyatspi.findAllDescendants(app, lambda o: True):
                try:
                    text = obj.queryText().getText(0, -1)
                except NotImplementedError:
                    text = ""
                if what in (obj.name or "") or what in text:
                    return True
    return False


def main():
    launcher = Path("/usr/share/applications/tabulon2x2.desktop").read_text().splitlines()
    entry = dict(line.split("=", 1) for line in launcher if "=" in line)
    with tempfile.TemporaryDirectory(prefix="tabulon-autopkgtest-") as tmp:
        processes = Processes(Path(tmp))
        try:
            processes.start("program", entry["Exec"].split(), cwd=entry["Path"])
            keys("windowfocus", "--sync", window("^Tabulon 2x2$"))
            for count in ("30", "20", "20", "30"):
                keys("type", "--delay", "100", count)
                keys("key", "Tab")
            keys("key", "space")
            for text in ("Хи-квадрат с поправкой Йейтса", "Отвергается на уровне 0.10"):
                wait_for(lambda: shows(text), 30, f'"{text}"')
                print(f'shows "{text}"')
            keys("key", "Tab", "space")
            window("^Справка Tabulon 2x2$")
            wait_for(lambda: shows("Программа проверяет"), 30, "the help page's text")
            print("help shows its page")
        except (RuntimeError, OSError, subprocess.SubprocessError) as error:
            print(f"failed: {error}\nthe program printed:\n{processes.output('program')}",
                  file=sys.stderr)
            return 1
        finally:
            processes.end()
    return 0


if __name__ == "__main__":
    sys.exit(main())
