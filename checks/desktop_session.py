# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""A desktop session for checks of the real program: the accessibility bus, processes each
in their own process group and ended by PID, and xdotool for keys, every wait bounded. Run
it on a private session bus and a virtual display of its own:
dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" /usr/bin/python3 CHECK.py
"""
import os
import re
import signal
import subprocess
import sys
import time
from pathlib import Path


def wait_for(condition, seconds, what):
    """Waits, at most this long, until condition() gives something true, and returns it."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
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
        return window(f"^{re.escape(title)}$")


def window(title, seconds=60, min_width=0):
    """Waits, a bounded time, for a window whose title matches the pattern and that is at
    least min_width pixels wide, and returns its id. Windows that come and go meanwhile are
    passed over: xdotool search would end on the X error that reading a window that has
    just gone gives."""
    from Xlib import X, display, error  # python3-xlib, on the virtual display's session
    screen = display.Display()
    utf8, net_name = screen.intern_atom("UTF8_STRING"), screen.intern_atom("_NET_WM_NAME")

    def matching(parent):
        for child in parent.query_tree().children:
            try:
                name = child.get_full_property(net_name, utf8)  # as every toolkit sets it
                name = name.value.decode() if name else str(child.get_wm_name() or "")
                if (child.get_attributes().map_state == X.IsViewable and re.search(title, name)
                        and child.get_geometry().width >= min_width):
                    return str(child.id)
                found = matching(child)
            except (error.BadWindow, error.BadDrawable):
                continue
            if found:
                return found
        return None

    try:
        return wait_for(lambda: matching(screen.screen().root), seconds, f"a window {title}")
    finally:
        screen.close()


# For the shell checks: prints the id of the window, once there.
# usage: desktop_session.py window PATTERN [MIN_WIDTH]
if __name__ == "__main__" and sys.argv[1] == "window":
    try:
        print(window(sys.argv[2], min_width=int(sys.argv[3]) if len(sys.argv) > 3 else 0))
    except RuntimeError as failure:
        sys.exit(f"{failure}")
