# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""A desktop session for checks of the real program: the accessibility bus, processes each
in their own process group and ended by PID, and xdotool for keys, every wait bounded. Run
it on a private session bus and a virtual display of its own:
dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 CHECK.py
"""
import os
import signal
import subprocess
import time
from pathlib import Path


def wait_for(condition, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return
        time.sleep(0.2)
    raise RuntimeError(f"timed out after {seconds} s waiting for {what}")


class Session:
    """The processes of one check, each in its own process group, ended by PID."""

    def __init__(self, folder: Path):
        self.folder = folder
        self.processes: list[subprocess.Popen] = []
        runtime = folder / "runtime"
        runtime.mkdir(mode=0o700)
        self.env = dict(os.environ, HOME=str(folder), XDG_RUNTIME_DIR=str(runtime),
                        XDG_CONFIG_HOME=str(folder / "config"),
                        XDG_CACHE_HOME=str(folder / "cache"),
                        XDG_DATA_HOME=str(folder / "data"), LANG="C.UTF-8",
                        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(name, None)

    def start(self, name, args, **kwargs):
        with open(self.folder / f"{name}.log", "wb") as log:
            process = subprocess.Popen(args, env=self.env, stdout=log,
                                       stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                       start_new_session=True, **kwargs)
        self.processes.append(process)
        return process

    def output(self, name, lines=15):
        log = self.folder / f"{name}.log"
        if not log.exists():
            return ""
        return "\n".join(log.read_text(errors="replace").splitlines()[-lines:])

    def end(self):
        for process in reversed(self.processes):
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(process.pid, sig)
                except ProcessLookupError:
                    pass
                try:
                    process.wait(5)
                    break
                except subprocess.TimeoutExpired:
                    continue

    def start_accessibility_bus(self):
        self.start("at-spi-bus", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"])
        # Asked for by name only once the launcher owns it, so D-Bus starts no second one.
        wait_for(lambda: "true" in subprocess.run(
            ["timeout", "5", "dbus-send", "--session", "--print-reply",
             "--dest=org.freedesktop.DBus", "/org/freedesktop/DBus",
             "org.freedesktop.DBus.NameHasOwner", "string:org.a11y.Bus"],
            env=self.env, capture_output=True, text=True).stdout, 30, "the accessibility bus")

    def xdotool(self, *args):
        return subprocess.run(["timeout", "15", "xdotool", *args], env=self.env, check=True,
                              capture_output=True, text=True).stdout

    def window(self, title):
        """Waits for a window with this title and returns its id."""
        self.xdotool("search", "--sync", "--name", f"^{title}$")
        return self.xdotool("search", "--name", f"^{title}$").split()[0]
