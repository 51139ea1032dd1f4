# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""A virtual desktop session: a display and a session bus of its own, which starts the
accessibility bus when asked, and with --orca, Orca, its speech logged to $TABULON_ORCA_LOG;
all ended with it, by PID.

usage: desktop_session.py [--orca] COMMAND...          runs the command in a session
       desktop_session.py window PATTERN [MIN_WIDTH]   (in one) prints a window's id
"""
import builtins
import contextlib
import os
import re
import runpy
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path


def wait_for(condition, seconds, what):
    """Waits, at most so long, until condition() gives something true, and returns it."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if result := condition():
            return result
        time.sleep(0.2)
    raise RuntimeError(f"timed out after {seconds} s waiting for {what}")


class Processes:
    """Processes each in a process group of its own, its output in a log, ended by PID."""

    def __init__(self, folder: Path, env=None):
        self.folder, self.env, self.started = folder, env or dict(os.environ), []

    def start(self, name, args, **kwargs):
        with open(self.folder / f"{name}.log", "wb") as log:
            self.started.append(subprocess.Popen(
                args, env=self.env, stdout=log, stderr=subprocess.STDOUT,
                stdin=subprocess.DEVNULL, start_new_session=True, **kwargs))

    def output(self, name, lines=15):
        log = self.folder / f"{name}.log"
        return "\n".join(log.read_text(errors="replace").splitlines()[-lines:]) \
            if log.exists() else ""

    def end(self):
        for process in reversed(self.started):
            for sig in (signal.SIGTERM, signal.SIGKILL):
                try:
                    os.killpg(process.pid, sig)
                    process.wait(5)
                    break
                except ProcessLookupError:
                    break
                except subprocess.TimeoutExpired:
                    continue


def keys(*args):
    subprocess.run(["timeout", "15", "xdotool", *args], check=True, capture_output=True)


def window(title, seconds=60, min_width=0):
    """Waits for a shown window whose title matches, at least min_width wide; returns its id.
    A window gone while it is read is passed over (xdotool search ends on that X error)."""
    from Xlib import X, display, error
    screen = display.Display()
    utf8, net_name = screen.intern_atom("UTF8_STRING"), screen.intern_atom("_NET_WM_NAME")

    def matching(parent):
        for child in parent.query_tree().children:
            try:
                name = child.get_full_property(net_name, utf8)
                name = name.value.decode() if name else str(child.get_wm_name() or "")
                if (child.get_attributes().map_state == X.IsViewable and re.search(title, name)
                        and child.get_geometry().width >= min_width):
                    return str(child.id)
                if found := matching(child):
                    return found
            except (error.BadWindow, error.BadDrawable):
                continue
        return None

    try:
        return wait_for(lambda: matching(screen.screen().root), seconds, f"a window {title}")
    finally:
        screen.close()


def run_orca(args):
    """Runs Orca with its debug log line-buffered, so that nothing it spoke is lost when it
    is ended."""
    plain_open = builtins.open

    def line_buffered(file, mode="r", *args, **kwargs):
        if mode == "w" and not args and "buffering" not in kwargs:
            kwargs["buffering"] = 1
        return plain_open(file, mode, *args, **kwargs)

    builtins.open = line_buffered
    sys.argv = ["/usr/bin/orca", *args]
    runpy.run_path("/usr/bin/orca", run_name="__main__")


def session(command, orca):
    home = os.environ["HOME"]
    processes = Processes(Path(home))
    try:
        if orca:
            log = processes.env["TABULON_ORCA_LOG"] = f"{home}/orca-debug.log"
            processes.start("orca", [sys.executable, __file__, "--run-orca", "--replace",
                                     "-u", f"{home}/orca", f"--debug-file={log}"])
            wait_for(lambda: os.path.exists(log) and "SPEECH OUTPUT" in Path(log).read_text(
                errors="replace"), 60, "Orca to start speaking")
        return subprocess.run(command, env=processes.env).returncode
    except RuntimeError as failure:
        print(f"desktop session: {failure}\n{processes.output('orca')}", file=sys.stderr)
        return 1
    finally:
        processes.end()


def in_use(home):
    """Whether a process of the session is left: one whose home is the session's."""
    mark = f"HOME={home}".encode()
    for environ in Path("/proc").glob("[0-9]*/environ"):
        with contextlib.suppress(OSError):
            if mark in environ.read_bytes().split(b"\0"):
                return True
    return False


def main(args):
    if args[0] == "--run-orca":
        return run_orca(args[1:])
    if args[0] == "window":
        try:
            return print(window(args[1], min_width=int(args[2]) if args[2:] else 0))
        except RuntimeError as failure:
            return str(failure)
    if "TABULON_DESKTOP" in os.environ:
        return session(args[1:] if args[0] == "--orca" else args, args[0] == "--orca")
    # The display, then the session bus in it, so that what the bus starts (the accessibility
    # bus, portals) shares the session's display and home, as on a desktop. The home, the
    # display's key with it, goes once the last of them has ended.
    with tempfile.TemporaryDirectory(prefix="tabulon-desktop-") as home:
        os.mkdir(f"{home}/runtime", 0o700)
        env = {**os.environ, "TABULON_DESKTOP": "1", "HOME": home,
               "XDG_RUNTIME_DIR": f"{home}/runtime", "XDG_CONFIG_HOME": f"{home}/config",
               "XDG_CACHE_HOME": f"{home}/cache", "XDG_DATA_HOME": f"{home}/data",
               "LANG": "C.UTF-8", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"}
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            env.pop(name, None)
        code = subprocess.run(["xvfb-run", "-a", "-f", f"{home}/Xauthority", "-s",
                               "-screen 0 1024x768x24", "dbus-run-session", "--",
                               sys.executable, __file__, *args], env=env).returncode
        wait_for(lambda: not in_use(home), 10, "the session's services to end")
        return code


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
