# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Edits the running program's fields as voice control and screen readers do, through AT-SPI
(EditableText), and checks that the result follows the table on screen: a text set clears
the result, "Расчет" then gives that table's verdict, and an insert that the validator
refuses changes nothing. In desktop_session.py, under /usr/bin/python3 (for pyatspi).

usage: assistive_edits.py PROGRAM HELP_FOLDER
"""
import sys
import tempfile
from pathlib import Path

import pyatspi

from desktop_session import Processes, keys, wait_for, window

FIELD_A = "a, строка 1, столбец 1"
VERDICT = ("Принимается на уровне", "Отвергается на уровне")


def program_named(name):
    desktop = pyatspi.Registry.getDesktop(0)
    return next((app for app in desktop if app is not None and app.name == name), None)


def descendant(root, role, name):
    return pyatspi.findDescendant(root, lambda a: a.getRole() == role and a.name == name)


def verdicts(app):
    """The verdicts the window shows: the labels whose texts are verdicts."""
    shown = pyatspi.findAllDescendants(app, lambda a: a.name.startswith(VERDICT))
    return [a.name for a in shown]


def text(field):
    return field.queryText().getText(0, -1)


def main(program, folder) -> int:
    steps, failures = [], []

    def expect(what, condition, seconds=10):
        try:
            wait_for(condition, seconds, what)
            steps.append(f"ok: {what}")
        except RuntimeError:
            steps.append(f"FAILED: {what}")
            failures.append(what)

    with tempfile.TemporaryDirectory(prefix="tabulon-assistive-") as tmp:
        processes = Processes(Path(tmp))
        try:
            processes.start("program", [program], cwd=folder)
            keys("windowfocus", "--sync", window("^Tabulon 2x2$"))
            app = wait_for(lambda: program_named(Path(program).name), 30, "the program on AT-SPI")
            field = wait_for(lambda: descendant(app, pyatspi.ROLE_TEXT, FIELD_A), 30, "field a")
            calculate = descendant(app, pyatspi.ROLE_PUSH_BUTTON, "Расчет")
            keys("type", "--delay", "100", "8\t2\t1\t5")
            calculate.queryAction().doAction(0)
            expect("8 2 1 5 typed: rejected at 0.05",
                   lambda: verdicts(app) == ["Отвергается на уровне 0.05"])
            field.queryEditableText().setTextContents("800")
            expect("field a set to 800: the result cleared",
                   lambda: text(field) == "800" and not verdicts(app))
            calculate.queryAction().doAction(0)
            expect("pressed again: 800 2 1 5's verdict, rejected at 0.01",
                   lambda: verdicts(app) == ["Отвергается на уровне 0.01"])
            field.queryEditableText().insertText(0, "x-", 2)
            # Nothing to wait for: a refused insert leaves all as it was.
            expect("x- inserted: refused, field a and the result as they were",
                   lambda: text(field) == "800" and
                   verdicts(app) == ["Отвергается на уровне 0.01"], seconds=2)
        except (RuntimeError, OSError) as error:
            failures.append(str(error))
        finally:
            processes.end()
        print("\n".join(steps))
        if failures:
            print(f"program printed:\n{processes.output('program')}", file=sys.stderr)
            print("assistive edits check failed: " + "; ".join(failures), file=sys.stderr)
            return 1
    print("assistive edits check passed: the verdict followed the fields' text")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
