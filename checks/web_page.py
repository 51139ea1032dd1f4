"""Uses the web page as a person does, in headless Chromium driven through the Chrome
DevTools Protocol: served from 127.0.0.1, a table typed by keys gives the method and the
verdict (read from the page, not from pixels), help opens and shows its page, and once
loaded the page opens again with the server stopped. Reports the transfer size and the
time to a usable window, and saves a screenshot after a calculation.

usage: web_page.py PAGE_FOLDER SCREENSHOT.png
Run it with Debian's /usr/bin/python3 (python3-websocket).
"""
import base64
import functools
import gzip
import http.server
import itertools
import json
import os
import signal
import subprocess
import sys
import tempfile
import threading
import time
import urllib.request
from pathlib import Path

import websocket

SECONDS = 60  # the longest wait for any one thing the page should do

# Tables typed from field a on, and what the window then shows: the method and the verdict.
TABLES = [
    (["30", "20", "20", "30"], ["Хи-квадрат с поправкой Йейтса", "Отвергается на уровне 0.10"]),
    (["8", "2", "1", "5"], ["Точный метод Фишера", "Отвергается на уровне 0.05"]),
]
FIELDS = ["a, строка 1, столбец 1", "b, строка 1, столбец 2", "c, строка 2, столбец 1",
          "d, строка 2, столбец 2"]
HELP_START = "Программа проверяет"


def wait_for(condition, what, seconds=SECONDS):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.1)
    raise RuntimeError(f"timed out after {seconds} s waiting for {what}")


class Server:
    """The page's folder on 127.0.0.1, served from a thread of this process."""

    def __init__(self, folder):
        class Compressing(http.server.SimpleHTTPRequestHandler):
            """Sends files gzipped, as a web server does where the browser takes them so."""

            def do_GET(self):
                path = Path(self.translate_path(self.path))
                path = path / "index.html" if path.is_dir() else path
                if "gzip" not in self.headers.get("Accept-Encoding", "") or not path.is_file():
                    return super().do_GET()
                body = gzip.compress(path.read_bytes())
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(str(path)))
                self.send_header("Content-Encoding", "gzip")
                self.send_header("Content-Length", str(len(body)))
                self.end_headers()
                self.wfile.write(body)

            def log_message(self, *args):
                pass

        handler = functools.partial(Compressing, directory=folder)
        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        self.url = f"http://127.0.0.1:{self.httpd.server_port}/"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join(10)


class Browser:
    """Headless Chromium in a process group of its own, and one page of it over CDP."""

    def __init__(self, profile: Path):
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--no-first-run", "--disable-quic",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
             "--window-size=1024,768", f"--user-data-dir={profile}",
             "--remote-debugging-port=0", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        port_file = profile / "DevToolsActivePort"
        port = wait_for(lambda: port_file.exists() and port_file.read_text().split("\n")[0],
                        "Chromium's debugging port")
        targets = json.load(urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=10))
        page = next(t for t in targets if t["type"] == "page")
        self.socket = websocket.create_connection(page["webSocketDebuggerUrl"], timeout=SECONDS,
                                                  suppress_origin=True)
        self.ids = itertools.count(1)
        self.events = []
        for domain in ("Page", "Runtime", "Network", "Accessibility"):
            self.call(f"{domain}.enable")

    def call(self, method, **params):
        message_id = next(self.ids)
        self.socket.send(json.dumps({"id": message_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == message_id:
                if "error" in message:
                    raise RuntimeError(f"{method}: {message['error']}")
                return message.get("result", {})
            self.events.append(message)

    def evaluate(self, expression):
        return self.call("Runtime.evaluate", expression=expression,
                         returnByValue=True)["result"].get("value")

    def key(self, name):
        """Presses and releases a key: a character, Tab or Space."""
        special = {"Tab": (9, ""), "Space": (32, " ")}
        code, text = special[name] if name in special else (ord(name), name)
        key = " " if name == "Space" else name
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, text=text if kind == "keyDown" else "",
                      windowsVirtualKeyCode=code, nativeVirtualKeyCode=code)

    def names(self):
        """Every name, description and value in the page's accessibility tree."""
        found = []
        for node in self.call("Accessibility.getFullAXTree")["nodes"]:
            for field in ("name", "description", "value"):
                value = node.get(field, {}).get("value")
                if value:
                    found.append(str(value))
        return found

    def end(self):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(self.process.pid, sig)
                self.process.wait(10)
                return
            except (ProcessLookupError, subprocess.TimeoutExpired):
                continue


def usable(browser):
    """The window is drawn and Qt has mirrored it for screen readers."""
    return browser.evaluate("document.getElementById('status').hidden && document.querySelector("
                            "'#qt-shadow-container').shadowRoot.querySelectorAll('input').length >= 4")


def main(folder, screenshot):
    server = Server(folder)
    failures = []
    with tempfile.TemporaryDirectory(prefix="tabulon-chromium-") as profile:
        browser = Browser(Path(profile))
        try:
            start = time.monotonic()
            browser.call("Page.navigate", url=server.url)
            wait_for(lambda: usable(browser), "a usable window")
            print(f"usable window {time.monotonic() - start:.1f} s after navigation (first load)")
            transferred = sum(e["params"].get("encodedDataLength", 0) for e in browser.events
                              if e.get("method") == "Network.loadingFinished")
            print(f"transferred {transferred / 1e6:.2f} MB, gzipped")

            # The window takes the keyboard where a person first clicks: in field a.
            browser.evaluate("document.querySelector('#screen .qt-window, #screen canvas, #screen div').focus()")
            heard = browser.names()
            for name in FIELDS + ["Расчет", "Справка..."]:
                if not any(name in text for text in heard):
                    failures.append(f"the accessibility tree has no {name!r}")
            if not any("999999" in text for text in heard):
                failures.append("the fields' descriptions are not in the accessibility tree")
            for counts, expected in TABLES:
                for count in counts:
                    for character in count:
                        browser.key(character)
                    browser.key("Tab")
                browser.key("Space")
                announced = wait_for(lambda: browser.evaluate(
                    "document.getElementById('announcement').textContent").strip("\u00a0"),
                    "the result's announcement")
                tree = browser.names()
                shown = [text for text in expected if any(text in t for t in tree)]
                print(f"{' '.join(counts)}: announced {announced!r}; in the tree: {shown}")
                if announced != ". ".join(expected) or shown != expected:
                    failures.append(f"{' '.join(counts)} should give {expected}")
                if counts == TABLES[0][0]:
                    shot = browser.call("Page.captureScreenshot", format="png")["data"]
                    Path(screenshot).write_bytes(base64.b64decode(shot))
                # From "Расчет" on over "Справка..." to field a.
                browser.key("Tab")
                browser.key("Tab")

            print("== help")
            # From field a over the other three and "Расчет" to "Справка...", and press it.
            for key in ["Tab"] * 5 + ["Space"]:
                browser.key(key)
            try:
                wait_for(lambda: any(HELP_START in t for t in browser.names()), "the help page")
                print(f"help shows its page: {HELP_START}…")
            except RuntimeError as error:
                failures.append(str(error))

            print("== offline")
            # Once its service worker has installed, it has kept the page's files.
            browser.evaluate("navigator.serviceWorker.ready.then(() => window.cached = true)")
            wait_for(lambda: browser.evaluate("window.cached === true"), "the service worker")
            server.stop()
            start = time.monotonic()
            browser.call("Page.reload", ignoreCache=False)
            wait_for(lambda: usable(browser), "the page to open offline")
            print(f"opened again with the server stopped: usable in {time.monotonic() - start:.1f} s")
        except (RuntimeError, OSError, websocket.WebSocketException) as error:
            failures.append(str(error))
        finally:
            browser.end()
            server.stop()
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
