"""A desktop for checks of the real program: a virtual display of its own, optionally the
accessibility bus, processes each in their own process group and ended by PID, and
xdotool for keys, every wait bounded. Run it on a private session bus (dbus-run-session).

As a command, it runs one program on such a display and ends the display with it:
usage: virtual_desktop.py [--size WxH] SECONDS COMMAND [ARGUMENT...]
"""
import os
import select
import signal
import subprocess
import sys
import tempfile
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

    def start_display(self, size="1024x768"):
        """Starts Xvfb on a free display and sets DISPLAY to it."""
        read, write = os.pipe()
        self.start("xvfb", ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp",
                            "-screen", "0", f"{size}x24"], pass_fds=(write,))
        os.close(write)
        number = b""
        deadline = time.monotonic() + 30
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or not select.select([read], [], [], left)[0]:
                break
            chunk = os.read(read, 16)
            if not chunk:
                break
            number += chunk
        os.close(read)
        if not number.strip():
            raise RuntimeError("Xvfb gave no display number within 30 s")
        self.env["DISPLAY"] = ":" + number.decode().strip()

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


def run(seconds, command, size):
    """Runs a command on a display of its own, in its own process group, within a bounded
    time; returns its status (124 when the time ran out)."""
    with tempfile.TemporaryDirectory(prefix="tabulon-desktop-") as tmp:
        session = Session(Path(tmp))
        try:
            session.start_display(size)
            process = subprocess.Popen(command, env=dict(os.environ, DISPLAY=session.env["DISPLAY"]),
                                       start_new_session=True)
            session.processes.append(process)
            try:
                return process.wait(seconds)
            except subprocess.TimeoutExpired:
                print(f"timed out after {seconds} s: {' '.join(command)}", file=sys.stderr)
                return 124
        finally:
            session.end()


if __name__ == "__main__":
    arguments = sys.argv[1:]
    size = "1024x768"
    if arguments[0] == "--size":
        size, arguments = arguments[1], arguments[2:]
    sys.exit(run(float(arguments[0]), arguments[1:], size))
