"""Drives the real program by keys alone under the Orca screen reader, on a virtual
display, and checks what Orca speaks at each step (read from Orca's debug log).

usage: check.py PROGRAM HELP_FOLDER
Run it on a private session bus (dbus-run-session) with Debian's /usr/bin/python3.
"""
import os
import re
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
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


class Session:
    """The processes of one check, each in its own process group, ended by PID."""

    def __init__(self, folder: Path):
        self.folder = folder
        self.processes: list[subprocess.Popen] = []

    def start(self, name, args, env, **kwargs):
        with open(self.folder / f"{name}.log", "wb") as log:
            process = subprocess.Popen(args, env=env, stdout=log, stderr=subprocess.STDOUT,
                                       stdin=subprocess.DEVNULL, start_new_session=True,
                                       **kwargs)
        self.processes.append(process)
        return process

    def end(self):
        for process in reversed(self.processes):
            for sig, wait in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
                try:
                    os.killpg(process.pid, sig)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(wait)
                    break
                except subprocess.TimeoutExpired:
                    continue


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.2)
    raise RuntimeError(f"timed out after {seconds} s waiting for {what}")


def start_display(session, env):
    read, write = os.pipe()
    session.start("xvfb", ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp",
                           "-screen", "0", "1024x768x24"], env, pass_fds=(write,))
    os.close(write)
    number = b""
    deadline = time.monotonic() + 30
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        chunk = os.read(read, 16)
        if not chunk:
            break
        number += chunk
    os.close(read)
    if not number.strip():
        raise RuntimeError("Xvfb gave no display number")
    return ":" + number.decode().strip()


def spoken(log: Path, offset: int) -> list[str]:
    with open(log, encoding="utf-8", errors="replace") as f:
        f.seek(offset)
        text = f.read()
    return re.findall(r"SPEECH OUTPUT: '(.*?)'", text)


def heard_in_order(utterances, expected):
    position = 0
    for text in expected:
        while position < len(utterances) and text not in utterances[position]:
            position += 1
        if position == len(utterances):
            return False
        position += 1
    return True


def xdotool(env, *args):
    subprocess.run(["timeout", "15", "xdotool", *args], env=env, check=True,
                   stdout=subprocess.DEVNULL)


def main(program: str, help_folder: str) -> int:
    with tempfile.TemporaryDirectory(prefix="tabulon-screenreader-") as tmp:
        folder = Path(tmp)
        session = Session(folder)
        runtime = folder / "runtime"
        runtime.mkdir(mode=0o700)
        env = dict(os.environ, HOME=str(folder), XDG_RUNTIME_DIR=str(runtime),
                   XDG_CONFIG_HOME=str(folder / "config"), XDG_CACHE_HOME=str(folder / "cache"),
                   XDG_DATA_HOME=str(folder / "data"), LANG="C.UTF-8", NO_AT_BRIDGE="0",
                   GTK_A11Y="atspi", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        log = folder / "orca-debug.log"
        failures = []
        try:
            env["DISPLAY"] = start_display(session, env)
            session.start("at-spi-bus", ["/usr/libexec/at-spi-bus-launcher",
                                         "--launch-immediately"], env)
            # Asked for by name only once the launcher owns it, so D-Bus starts no second one.
            wait_for(lambda: "true" in subprocess.run(
                ["timeout", "5", "dbus-send", "--session", "--print-reply",
                 "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
                 "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
                env=env, capture_output=True, text=True).stdout, 30, "the accessibility bus")
            orca = session.start("orca", ["/usr/bin/python3", str(HERE / "run_orca.py"),
                                          "--replace", "-u", str(folder / "orca"),
                                          f"--debug-file={log}"], env)
            wait_for(lambda: log.exists() and spoken(log, 0), 60, "Orca to start speaking")
            session.start("program", [program], env, cwd=help_folder)
            xdotool(env, "search", "--sync", "--name", "^Tabulon 2x2$")
            window = subprocess.run(
                ["timeout", "15", "xdotool", "search", "--name", "^Tabulon 2x2$"], env=env,
                check=True, capture_output=True, text=True).stdout.split()[0]
            for name, keys, expected in STEPS:
                offset = log.stat().st_size
                if keys is None:
                    xdotool(env, "windowfocus", "--sync", window)
                for key in keys or []:
                    if key.startswith("type:"):
                        xdotool(env, "type", "--delay", "150", key[5:])
                    else:
                        xdotool(env, "key", key)
                try:
                    wait_for(lambda: heard_in_order(spoken(log, offset), expected),
                             STEP_SECONDS, "speech")
                    status = "ok"
                except RuntimeError:
                    status = "MISSING " + " / ".join(expected)
                    failures.append(name)
                # Let the rest of this step's speech arrive before the next step begins.
                time.sleep(1.5)
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
            for name in ("at-spi-bus", "orca", "program"):
                output = folder / f"{name}.log"
                if output.exists() and output.stat().st_size:
                    tail = output.read_text(errors="replace").splitlines()[-15:]
                    print(f"{name} printed:\n    " + "\n    ".join(tail), file=sys.stderr)
            keep = Path(os.environ.get("TABULON_ORCA_LOG", "")) if os.environ.get(
                "TABULON_ORCA_LOG") else None
            if keep and log.exists():
                keep.write_bytes(log.read_bytes())
                print(f"Orca's debug log kept as {keep}", file=sys.stderr)
            print("screen reader check failed: " + "; ".join(failures), file=sys.stderr)
            return 1
        print("screen reader check passed: Orca named every field, spoke every result "
              "and read the help page")
        return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
