# SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
# SPDX-License-Identifier: GPL-3.0-or-later
"""Uses the web page as a person does, in headless Chromium driven through the Chrome
DevTools Protocol, served from 127.0.0.1, and checks it against the rows of
tests/data/examples.tsv that the Qt window is checked against:

- the keys rows, twice: as a desktop (1024 px wide, keys alone) and as a 360 x 740 touch
  phone (fields tapped, text committed as an on-screen keyboard commits it);
- the text rows that a page has, read from the accessibility tree;
- help, read afresh at each opening, closed by Escape and by OK;
- the engine in the browser against the desktop's (NATIVE_ROWS, made by engine_rows) on the
  table rows and every table of tests/data/reference.tsv, the p-values bit for bit
  (PVALUES_WASM, the page's engine with its p-values exported);
- no element past the right edge at 320, 360 and 1024 CSS px;
- the page opened again with the server stopped.

It prints what the page loads, gzipped, and how long after navigation the fields take input
on a slow phone, and saves a screenshot at 1024 and at 360 CSS px.

usage: web_page.py PAGE_FOLDER NATIVE_ROWS PVALUES_WASM SCREENSHOT_FOLDER
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

SECONDS = 30  # the longest wait for any one thing the page should do
DATA = Path(__file__).resolve().parent.parent / "tests" / "data"
WAITING = ["Ждите...", "Идут вычисления"]
HELP_START = "Программа проверяет"
# What the page is measured on: Lighthouse's mobile profile.
PHONE = dict(width=360, height=740, deviceScaleFactor=2, mobile=True)
PHONE_AGENT = ("Mozilla/5.0 (Linux; Android 14; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) "
               "Chrome/130.0.0.0 Mobile Safari/537.36")
SLOW_NETWORK = dict(offline=False, latency=150, downloadThroughput=1.6e6 / 8,
                    uploadThroughput=750e3 / 8)


def examples(kind):
    """The rows of one kind in examples.tsv: the row's name, then its fields."""
    rows = []
    for line in (DATA / "examples.tsv").read_text(encoding="utf-8").splitlines():
        fields = line.split("\t")
        if fields[0] == kind:
            rows.append(fields[1:])
    return rows


def wait_for(condition, what, seconds=SECONDS):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    raise RuntimeError(f"timed out after {seconds} s waiting for {what}")


class Server:
    """The page's folder on 127.0.0.1, gzipped as a web server sends it, from a thread of
    this process; extra files may be served beside it, and the help page replaced."""

    def __init__(self, folder, extra):
        server = self
        self.help_page = None

        class Handler(http.server.SimpleHTTPRequestHandler):
            def do_HEAD(self):
                self.do_GET(body=False)

            def do_GET(self, body=True):
                name = self.path.split("?")[0].lstrip("/") or "index.html"
                if name == "readme.html" and server.help_page is not None:
                    content = server.help_page
                elif name in extra:
                    content = Path(extra[name]).read_bytes()
                elif (Path(folder) / name).is_file():
                    content = (Path(folder) / name).read_bytes()
                else:
                    return self.send_error(404)
                gzipped = "gzip" in self.headers.get("Accept-Encoding", "")
                content = gzip.compress(content) if gzipped else content
                self.send_response(200)
                self.send_header("Content-Type", self.guess_type(name))
                if gzipped:
                    self.send_header("Content-Encoding", "gzip")
                self.send_header("Content-Length", str(len(content)))
                self.send_header("Cache-Control", "no-cache")
                self.end_headers()
                if body:
                    self.wfile.write(content)

            def log_message(self, *args):
                pass

        self.httpd = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
        self.url = f"http://127.0.0.1:{self.httpd.server_port}/"
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def stop(self):
        if self.thread.is_alive():
            self.httpd.shutdown()
            self.httpd.server_close()
            self.thread.join(10)


class Browser:
    """Headless Chromium in a process group of its own, and one page of it over CDP."""

    def __init__(self, profile: Path):
        self.process = subprocess.Popen(
            ["chromium", "--headless", "--no-sandbox", "--no-first-run", "--disable-quic",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--disable-gpu", "--window-size=1024,768", f"--user-data-dir={profile}",
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
        for domain in ("Page", "Runtime", "Network", "DOM", "Accessibility"):
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
        """The value of a JavaScript expression in the page, promises awaited."""
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True, userGesture=True)
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression[:60]}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def key(self, name, modifiers=0, commands=()):
        """Presses and releases a key: a character, or Tab, Space, Enter, Escape, Backspace."""
        special = {"Tab": (9, ""), "Space": (32, " "), "Enter": (13, "\r"), "Escape": (27, ""),
                   "Backspace": (8, ""), "+": (187, "+"), ",": (188, ","), "-": (189, "-"),
                   ".": (190, ".")}
        code, text = special[name] if name in special else (ord(name.upper()), name)
        key = " " if name == "Space" else name
        text = "" if modifiers else text
        self.call("Input.dispatchKeyEvent", type="keyDown", key=key, text=text,
                  windowsVirtualKeyCode=code, modifiers=modifiers, commands=list(commands))
        self.call("Input.dispatchKeyEvent", type="keyUp", key=key, windowsVirtualKeyCode=code,
                  modifiers=modifiers)

    def tap(self, element_id):
        """Touches the middle of an element and lifts the finger, as on a touch screen."""
        x, y = self.evaluate(f"(r => [r.x + r.width / 2, r.y + r.height / 2])("
                             f"document.getElementById('{element_id}').getBoundingClientRect())")
        self.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def settle(self):
        """Waits until the page has painted twice: what a key or tap started has run."""
        self.evaluate("new Promise(r => requestAnimationFrame(() => setTimeout(() => "
                      "requestAnimationFrame(() => setTimeout(r)))))")

    def accessible(self, element_id):
        """The name and description the accessibility tree gives an element."""
        root = self.call("DOM.getDocument", depth=0)["root"]["nodeId"]
        node = self.call("DOM.querySelector", nodeId=root, selector=f"#{element_id}")["nodeId"]
        ax = self.call("Accessibility.getPartialAXTree", nodeId=node,
                       fetchRelatives=False)["nodes"][0]
        return {field: str(ax.get(field, {}).get("value", "")) for field in ("name", "description")}

    def load(self, url, **metrics):
        """Opens the page afresh in a viewport of these metrics and waits until it is ready."""
        self.call("Emulation.setDeviceMetricsOverride", **{"width": 1024, "height": 768,
                                                           "deviceScaleFactor": 1,
                                                           "mobile": False, **metrics})
        self.call("Page.navigate", url=url)
        wait_for(lambda: self.evaluate("document.readyState === 'complete' && "
                                       "document.activeElement.id === 'lineEditA'"),
                 "the page to load")

    def end(self):
        for sig in (signal.SIGTERM, signal.SIGKILL):
            try:
                os.killpg(self.process.pid, sig)
                self.process.wait(10)
                return
            except (ProcessLookupError, subprocess.TimeoutExpired):
                continue


# Records, in the page, what the result labels showed while "Расчет" was down, and each
# text the live region was given.
RECORD = """(() => {
  window.seen = {down: [], announced: []};
  const labels = ['labelM', 'labelZ'].map(id => document.getElementById(id));
  const button = document.getElementById('pushButton');
  new MutationObserver(() => {
    if (button.classList.contains('down'))
      window.seen.down.push(...labels.map(label => label.textContent));
  }).observe(document.getElementById('centralWidget'), {subtree: true, childList: true,
                                                         characterData: true});
  const region = document.getElementById('announcement');
  new MutationObserver(() => window.seen.announced.push(region.textContent))
    .observe(region, {childList: true, characterData: true, subtree: true});
})()"""


class Person:
    """Does the steps of a keys row: by keys on a desktop, by touch on a phone."""

    def __init__(self, browser, touch):
        self.browser, self.touch = browser, touch

    def focus_by_tab(self, element_id):
        for _ in range(12):
            if self.browser.evaluate("document.activeElement.id") == element_id:
                return True
            self.browser.key("Tab")
        return False

    def reach(self, element_id):
        """Puts the focus on an element, as the person would; False where it cannot."""
        if self.touch:
            self.browser.tap(element_id)
            return self.browser.evaluate("document.activeElement.id") == element_id
        return self.focus_by_tab(element_id)

    def step(self, step):
        b = self.browser
        if step == "calc":
            # A disabled button takes no tap, and Tab does not reach it.
            if self.touch:
                b.tap("pushButton")
            elif self.reach("pushButton"):
                b.key("Space")
        elif step == "slot":
            b.evaluate("document.getElementById('centralWidget').requestSubmit()")
        else:
            field = "lineEdit" + step[0].upper()
            if not self.reach(field):
                raise RuntimeError(f"{field} cannot be reached")
            if step[1] == "<":
                b.evaluate(f"(f => f.setSelectionRange(f.value.length, f.value.length))("
                           f"document.getElementById('{field}'))")
                b.key("Backspace")
            else:
                # Over the field's text: selected with a long press, or by Ctrl+A.
                if self.touch:
                    b.evaluate("document.activeElement.select()")
                else:
                    b.key("a", modifiers=2, commands=["selectAll"])
                if step[1] == "^":
                    b.evaluate(f"navigator.clipboard.writeText({json.dumps(step[2:])})")
                    b.key("v", modifiers=2, commands=["paste"])
                elif self.touch:
                    # An on-screen keyboard commits each key as it is tapped.
                    for character in step[2:]:
                        b.call("Input.insertText", text=character)
                else:
                    for character in step[2:]:
                        b.key(character)
        b.settle()


def keys_rows(browser, url, touch, failures, screenshot):
    person = Person(browser, touch)
    metrics = PHONE if touch else {}
    face = "phone" if touch else "desktop"
    for name, steps, field_a, enabled, method, verdict in examples("keys"):
        browser.load(url, **metrics)
        browser.evaluate(RECORD)
        try:
            for step in steps.split():
                person.step(step)
        except RuntimeError as error:
            failures.append(f"{face}, {name}: {error}")
            continue
        shown = browser.evaluate("['lineEditA', 'pushButton', 'labelM', 'labelZ'].map(id => "
                                 "document.getElementById(id)).map((e, i) => i === 1 ? "
                                 "(e.disabled ? '0' : '1') : (e.value ?? e.textContent))")
        seen = browser.evaluate("window.seen")
        problems = []
        if shown != [field_a, enabled, method, verdict]:
            problems.append(f"shows {shown}, not {[field_a, enabled, method, verdict]}")
        presses = steps.split().count("calc") if method and steps.endswith("calc") else 0
        if presses:
            if not all(text in seen["down"] for text in WAITING):
                problems.append(f"showed {seen['down']} while the tests ran")
            announced = seen["announced"]
            if (len(announced) != presses or announced[-1].strip("\u00a0") != f"{method}. {verdict}"
                    or len(set(announced)) != len(announced)):
                problems.append(f"announced {announced}")
        print(f"  {name}: {'ok' if not problems else '; '.join(problems)}")
        failures += [f"{face}, {name}: {p}" for p in problems]
    # The screenshot, after 30 20 20 30.
    browser.load(url, **metrics)
    for step in "a=30 b=20 c=20 d=30 calc".split():
        person.step(step)
    shot = browser.call("Page.captureScreenshot", format="png")["data"]
    Path(screenshot).write_bytes(base64.b64decode(shot))


def enter_moves_on(browser, url, failures):
    """Enter in a field moves on, as a phone's "next" key does: a to b, and d to "Расчет"."""
    browser.load(url)
    person = Person(browser, False)
    for step in "a=8 b=2 c=1 d=5".split():
        person.step(step)
    reached = []
    for field in ("lineEditA", "lineEditD"):
        browser.evaluate(f"document.getElementById('{field}').focus()")
        browser.key("Enter")
        reached.append(browser.evaluate("document.activeElement.id"))
    print(f"  Enter in a reaches {reached[0]}, in d {reached[1]}")
    if reached != ["lineEditB", "pushButton"]:
        failures.append(f"Enter in a and d reaches {reached}")


def footer_links(browser, url, failures):
    """The footer's links (the licence, the source, the notices) lead to files the page has."""
    browser.load(url)
    links = browser.evaluate("Promise.all([...document.querySelectorAll('footer a')].map("
                             "async a => [a.getAttribute('href'), (await fetch(a.href, {method: 'HEAD'})).ok]))")
    print("  the footer links " + ", ".join(f"{href} ({'there' if ok else 'missing'})"
                                            for href, ok in links))
    if not links or not all(ok for _, ok in links) or "LICENSE.txt" not in dict(links):
        failures.append(f"the footer's links: {links}")


def text_rows(browser, failures):
    """The text rows that the page has, with help open for the help's objects."""
    for name, element, prop, expected in examples("text"):
        in_help = browser.evaluate(f"!!document.querySelector('#Dialog #{element}, "
                                   f"dialog#{element}')")
        if in_help != browser.evaluate("document.getElementById('Dialog').open"):
            continue
        if element == "MainWindow" and prop == "windowTitle":
            value = browser.evaluate("document.title")
        elif prop == "openExternalLinks":
            value = browser.evaluate("[...document.querySelectorAll('#textBrowser a[href^=http]')]"
                                     ".every(a => a.target === '_blank') ? 'true' : 'false'")
        elif prop in ("windowTitle", "title", "text", "accessibleName"):
            value = browser.accessible(element)["name"]
        elif prop == "accessibleDescription":
            value = browser.accessible(element)["description"]
        else:
            continue
        ok = value == expected
        print(f"  {name}: {'ok' if ok else f'{value!r}, not {expected!r}'}")
        if not ok:
            failures.append(f"text row {name}: {value!r}, not {expected!r}")


def help_dialog(browser, server, url, failures):
    print("== help, by keys")
    browser.load(url)
    text_rows(browser, failures)
    opened = []
    for close, page in (("Escape", None), ("OK", b"<!doctype html><meta charset=utf-8><p>a page")):
        server.help_page = page
        Person(browser, False).reach("pushButtonAbout")
        browser.key("Space")
        wait_for(lambda: browser.evaluate("document.getElementById('Dialog').open && "
                                          "document.getElementById('textBrowser').textContent"),
                 "help to open")
        opened.append(browser.evaluate("document.getElementById('textBrowser').innerText.trim()"
                                       ".split('\\n')[0]"))
        if page is None:
            text_rows(browser, failures)
            # It ends by naming the licence, and links the page's own copy of its text.
            licence = browser.evaluate("""(async () => {
              const help = document.getElementById('textBrowser');
              const link = [...help.querySelectorAll('a')].pop();
              return [help.textContent.includes('GPL-3.0-or-later'), link.getAttribute('href'),
                      (await fetch(link.href)).ok];
            })()""")
            print(f"  help names the GPL-3.0-or-later and links {licence[1]}: {licence}")
            if licence != [True, "LICENSE.txt", True]:
                failures.append(f"help's licence paragraph: {licence}")
            focus = browser.evaluate("document.activeElement.id")
            if focus != "textBrowser":
                failures.append(f"help opens with the focus on {focus!r}, not its text")
            browser.key("Escape")
        else:
            # Tab from the text to OK, and Space.
            browser.key("Tab")
            browser.key("Space")
        browser.settle()
        state = browser.evaluate("[document.getElementById('Dialog').open, "
                                 "document.activeElement.id]")
        print(f"  opened: {opened[-1][:40]!r}; closed by {close}: focus on {state[1]}")
        if state != [False, "pushButtonAbout"]:
            failures.append(f"help closed by {close} leaves {state}")
    server.help_page = None
    if not opened[0].startswith("Tabulon 2x2") or opened[1] != "a page":
        failures.append(f"help showed {opened}, not the page as it was at each opening")


def engine_agrees(browser, native_rows, failures):
    """The page's engine, in the browser, against the desktop's, table by table."""
    native = Path(native_rows).read_text(encoding="utf-8").splitlines()
    tables = [[int(n) for n in line.split("\t")[0].split()] for line in native]
    web = browser.evaluate("""(async tables => {
      const {loadEngine} = await import('./engine.js');
      const bytes = name => fetch(name).then(response => response.arrayBuffer());
      const engine = await loadEngine(await bytes('engine.wasm'));
      const probe = (await WebAssembly.instantiate(await bytes('engine_pvalues.wasm'))).instance;
      probe.exports._initialize();
      const bits = p => { const v = new DataView(new ArrayBuffer(8)); v.setFloat64(0, p);
                          return v.getBigUint64(0).toString(16).padStart(16, '0'); };
      return tables.map(t => {
        const r = engine.fourfold(t), usable = r.verdicts[0] !== '';
        const method = r.chiSquare ? 'Хи-квадрат с поправкой Йейтса' : 'Точный метод Фишера';
        if (r.method !== method) return 'method ' + r.method;
        return [t.join(' '), r.chiSquare ? 1 : 0, ...r.verdicts,
                ...(usable ? [bits(probe.exports.tabulon_fisher_p(...t)),
                              bits(probe.exports.tabulon_yates_p(...t))] : [])].join('\\t');
      });
    })(%s)""" % json.dumps(tables))
    verdicts = sum(w.split("\t")[:4] == n.split("\t")[:4] for w, n in zip(web, native))
    bits = sum(w == n for w, n in zip(web, native))
    print(f"  {len(tables)} tables: method and both verdicts as the desktop's for {verdicts}; "
          f"both p-values the same to the bit for {bits}")
    for w, n in zip(web, native):
        if w != n:
            print(f"    desktop {n}\n    web     {w}")
    if verdicts != len(tables):
        failures.append("the page's engine differs from the desktop's")


def no_overflow(browser, url, failures):
    """Nothing past the right edge, with the longest results shown and with help open."""
    for width in (320, 360, 1024):
        metrics = dict(PHONE, width=width) if width < 1024 else {}
        browser.call("Emulation.setTouchEmulationEnabled", enabled=width < 1024)
        browser.load(url, **metrics)
        person = Person(browser, width < 1024)
        for step in "a=999999 b=999999 c=999999 d=999999 calc".split():
            person.step(step)
        past = []
        for state in ("form", "help"):
            if state == "help":
                browser.evaluate("document.getElementById('pushButtonAbout').click()")
                wait_for(lambda: browser.evaluate("document.getElementById('Dialog').open"),
                         "help to open")
                browser.settle()
            # Tables in help may scroll within it, as data tables do.
            past += browser.evaluate("""[...document.querySelectorAll('body *')].filter(e =>
                !e.closest('#textBrowser > *') && e.getClientRects().length &&
                e.getBoundingClientRect().right > document.documentElement.clientWidth + 0.5)
                .map(e => e.id || e.tagName).concat(document.documentElement.scrollWidth >
                document.documentElement.clientWidth ? ['the page scrolls sideways'] : [])""")
        heights = browser.evaluate("[...document.querySelectorAll('input, button')].filter(e => "
                                   "e.getClientRects().length).map(e => e.offsetHeight)")
        print(f"  {width} CSS px: {'nothing' if not past else ', '.join(past)} past the right "
              f"edge; fields and buttons {min(heights)} to {max(heights)} px tall")
        if past:
            failures.append(f"at {width} CSS px past the right edge: {past}")
        if width < 1024 and min(heights) < 44:
            failures.append(f"at {width} CSS px a field or button is under 44 px tall")


def usable_on_a_slow_phone(browser, url):
    """Seconds from navigation until a field takes input, as the page's own script makes it:
    a letter typed is refused. Cache off, no service worker, on a slow network and CPU."""
    browser.call("Network.setCacheDisabled", cacheDisabled=True)
    browser.call("Network.setBypassServiceWorker", bypass=True)
    browser.call("Network.emulateNetworkConditions", **SLOW_NETWORK)
    browser.call("Emulation.setCPUThrottlingRate", rate=4)
    browser.call("Emulation.setDeviceMetricsOverride", **PHONE)
    browser.call("Emulation.setTouchEmulationEnabled", enabled=True)
    browser.call("Page.navigate", url="about:blank")
    wait_for(lambda: browser.evaluate("document.readyState === 'complete'"), "a blank page")
    browser.events.clear()
    start = time.monotonic()
    browser.call("Page.navigate", url=url)

    def takes_input():
        state = browser.evaluate("(f => { if (!f) return null; f.focus(); return true; })("
                                 "document.getElementById('lineEditA'))")
        if not state:
            return False
        browser.call("Input.insertText", text="x")
        if browser.evaluate("document.getElementById('lineEditA').value") == "":
            return True
        browser.evaluate("document.getElementById('lineEditA').value = ''")
        return False

    wait_for(takes_input, "a field that takes input", seconds=60)
    usable = time.monotonic() - start
    wait_for(lambda: browser.evaluate("document.readyState === 'complete'"), "the whole page", 60)
    time.sleep(1)  # what the page loads after its load event: the service worker is bypassed
    browser.call("Emulation.setCPUThrottlingRate", rate=1)
    browser.call("Network.emulateNetworkConditions", offline=False, latency=0,
                 downloadThroughput=-1, uploadThroughput=-1)
    browser.call("Network.setCacheDisabled", cacheDisabled=False)
    browser.call("Network.setBypassServiceWorker", bypass=False)
    loaded = {}
    urls = {e["params"]["requestId"]: e["params"]["response"]["url"] for e in browser.events
            if e.get("method") == "Network.responseReceived"}
    for e in browser.events:
        if e.get("method") == "Network.loadingFinished" and e["params"]["requestId"] in urls:
            loaded[urls[e["params"]["requestId"]]] = e["params"]["encodedDataLength"]
    return usable, loaded


def offline(browser, server, url, failures):
    print("== offline")
    browser.load(url)
    wait_for(lambda: browser.evaluate("navigator.serviceWorker.ready.then(() => "
                                      "!!navigator.serviceWorker.controller)"),
             "the service worker to keep the page")
    server.stop()
    browser.call("Page.reload")
    try:
        wait_for(lambda: browser.evaluate("document.readyState === 'complete' && "
                                          "!!document.getElementById('lineEditA')"),
                 "the page to open offline")
        Person(browser, False).step("a=8")
        for step in "b=2 c=1 d=5 calc".split():
            Person(browser, False).step(step)
        shown = browser.evaluate("document.getElementById('labelZ').textContent")
        print(f"  opened again with the server stopped; 8 2 1 5 gives {shown!r}")
        if shown != "Отвергается на уровне 0.05":
            failures.append("offline, the page does not calculate")
    except RuntimeError as error:
        failures.append(str(error))


def main(folder, native_rows, pvalues_wasm, screenshots):
    server = Server(folder, {"engine_pvalues.wasm": pvalues_wasm})
    failures = []
    with tempfile.TemporaryDirectory(prefix="tabulon-chromium-") as profile:
        browser = Browser(Path(profile))
        try:
            origin = server.url.rstrip("/")
            browser.call("Browser.grantPermissions", origin=origin,
                         permissions=["clipboardReadWrite", "clipboardSanitizedWrite"])
            print("== on a slow phone (1.6 Mbit/s, 150 ms round trip, CPU 4x slower, no cache)")
            for run in (1, 2):
                usable, loaded = usable_on_a_slow_phone(browser, server.url)
                print(f"  run {run}: the fields take input {usable:.2f} s after navigation")
            for address, size in sorted(loaded.items()):
                print(f"  {address.removeprefix(server.url) or '(the page)':28} {size:7d} bytes")
            print(f"  what the page loads: {sum(loaded.values()) / 1024:.1f} KB gzipped")
            kept = sum(len(gzip.compress(f.read_bytes())) for f in Path(folder).iterdir()
                       if not f.name.endswith(".tar"))
            print(f"  with all its service worker keeps for use offline: {kept / 1024:.1f} KB "
                  "gzipped")
            browser.call("Emulation.setTouchEmulationEnabled", enabled=False)
            browser.call("Emulation.setUserAgentOverride", userAgent="")

            print("== the keys rows as a desktop, 1024 px, by keys")
            keys_rows(browser, server.url, False, failures, f"{screenshots}/screenshot-web.png")
            print("== the keys rows as a phone, 360 x 740, by touch and an on-screen keyboard")
            browser.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)
            browser.call("Emulation.setUserAgentOverride", userAgent=PHONE_AGENT)
            keys_rows(browser, server.url, True, failures,
                      f"{screenshots}/screenshot-web-phone.png")
            print("== right edge, with the largest counts and with help")
            no_overflow(browser, server.url, failures)
            browser.call("Emulation.setTouchEmulationEnabled", enabled=False)
            browser.call("Emulation.setUserAgentOverride", userAgent="")
            enter_moves_on(browser, server.url, failures)
            footer_links(browser, server.url, failures)
            help_dialog(browser, server, server.url, failures)
            print("== the engine in the browser against the desktop's")
            browser.load(server.url)
            engine_agrees(browser, native_rows, failures)
            offline(browser, server, server.url, failures)
        except (RuntimeError, OSError, websocket.WebSocketException) as error:
            failures.append(str(error))
        finally:
            browser.end()
            server.stop()
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
