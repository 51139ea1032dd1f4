// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Debian's own browsers, one tab each, behind one interface: Chromium and Firefox ESR
// through puppeteer-core (Firefox over WebDriver BiDi), WebKitGTK through its WebDriver,
// WebKitWebDriver, driving MiniBrowser with selenium-webdriver. Keys are named as
// puppeteer names them: 'Tab', ' ', 'Control+a'.
import {spawn} from 'node:child_process';
import {once} from 'node:events';
import {writeFile} from 'node:fs/promises';
import net from 'node:net';
import puppeteer from 'puppeteer-core';
import {Builder, Key} from 'selenium-webdriver';

export const ENGINES = (process.env.TABULON_ENGINES ?? 'chromium firefox webkit').split(' ');
const MINIBROWSER = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
// Narrower than this, WebKitGTK shows the page in a frame of the width asked for.
const NARROWEST_WINDOW = 447;
// This machine's network is closed: a browser gets nothing from it but the page.
const CHROMIUM_ARGS = ['--no-sandbox', '--disable-background-networking', '--disable-sync',
                       '--disable-component-update', '--no-first-run', '--disable-quic'];

// Chromium and Firefox: the page of a tab. Firefox gives its first tab no focus, so that
// Space on a button there does nothing: it gets a new one.
class PuppeteerTab {
  static async open(engine, {headless = true, dark = false, args = [], userDataDir}) {
    const browser = await puppeteer.launch(engine === 'chromium'
      ? {executablePath: '/usr/bin/chromium', headless, args: [...CHROMIUM_ARGS, ...args],
         userDataDir,
         defaultViewport: headless ? undefined : null, ignoreDefaultArgs: ['about:blank']}
      : {browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless, args,
         defaultViewport: headless ? undefined : null,
         extraPrefsFirefox: dark ? {'ui.systemUsesDarkTheme': 1} : {}});
    const tab = new PuppeteerTab();
    const page = engine === 'chromium' ? (await browser.pages())[0] : await browser.newPage();
    Object.assign(tab, {engine, browser, page});
    if (dark && engine === 'chromium')
      await tab.page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: 'dark'}]);
    await tab.page.evaluateOnNewDocument(recordViolations);
    return tab;
  }

  async goto(url, {width = 1024, height = 768, ...metrics} = {}) {
    await this.page.setViewport({width, height, ...metrics});
    await this.page.goto(url);
  }

  async press(combo) {
    const keys = combo.length > 1 ? combo.split('+') : [combo];
    for (const key of keys.slice(0, -1)) await this.page.keyboard.down(key);
    await this.page.keyboard.press(keys.at(-1));
    for (const key of keys.slice(0, -1).reverse()) await this.page.keyboard.up(key);
  }

  type(text) { return this.page.keyboard.type(text); }
  evaluate(fn, ...args) { return this.page.evaluate(fn, ...args); }
  waitFor(fn, ...args) { return this.page.waitForFunction(fn, {timeout: 30000}, ...args); }
  reload() { return this.page.reload(); }
  screenshot(file) { return this.page.screenshot({path: file}); }

  // The accessible name the browser gives an element: Firefox gives no tree to read, but
  // finds elements by their name.
  async accessibleName(id, expected) {
    if (this.engine === 'firefox') {
      const found = await this.page.$$(`::-p-aria(${JSON.stringify(expected)})`);
      const ids = await Promise.all(found.map(e => e.evaluate(node => node.id)));
      return ids.includes(id) ? expected : `not ${JSON.stringify(expected)}`;
    }
    const node = await this.page.accessibility.snapshot({root: await this.page.$(`#${id}`),
                                                         interestingOnly: false});
    return node?.name ?? '';
  }

  async close() {
    const process = this.browser.process();
    await Promise.race([this.browser.close(), new Promise(r => setTimeout(r, 15000).unref())]);
    if (process?.exitCode === null) process.kill('SIGKILL');
  }
}

const SELENIUM_KEYS = {Tab: Key.TAB, Enter: Key.ENTER, Escape: Key.ESCAPE, ' ': Key.SPACE,
                       Backspace: Key.BACK_SPACE, Control: Key.CONTROL, Shift: Key.SHIFT};

// WebKitGTK: MiniBrowser under WebKitWebDriver, which needs a display and ends by PID.
class WebKitTab {
  static async open(engine, {dark = false, args = []}) {
    const port = await new Promise(resolve => {
      const probe = net.createServer().listen(0, '127.0.0.1', () => {
        const {port} = probe.address();
        probe.close(() => resolve(port));
      });
    });
    const tab = new WebKitTab();
    tab.engine = engine;
    tab.server = spawn('WebKitWebDriver', [`--port=${port}`, '--host=127.0.0.1'],
                       {stdio: 'ignore'});
    tab.ended = once(tab.server, 'exit');
    const url = `http://127.0.0.1:${port}`;
    for (let tries = 0; !(await fetch(`${url}/status`).then(r => r.ok, () => false)); tries++) {
      if (tries === 100) throw new Error('WebKitWebDriver did not start');
      await new Promise(r => setTimeout(r, 100));
    }
    // The page's script may write to the clipboard, as the paste rows need.
    const options = ['--automation', '--javascript-can-access-clipboard=true', ...args];
    tab.driver = await new Builder().usingServer(url).withCapabilities({
      browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': {binary: MINIBROWSER,
                                   args: dark ? [...options, '--dark-mode'] : options},
    }).build();
    await tab.driver.manage().setTimeouts({script: 30000, pageLoad: 30000});
    return tab;
  }

  // WebDriver runs no script before the page's own: what the page breaks of its security
  // policy is recorded from when it has loaded.
  async goto(url, {width = 1024, height = 768} = {}) {
    await this.driver.switchTo().defaultContent();
    if (width >= NARROWEST_WINDOW) {
      await this.driver.manage().window().setRect({width, height});
      await this.driver.get(url);
      return this.evaluate(recordViolations);
    }
    await this.driver.get(`${new URL(url).origin}/frame?width=${width}`);
    await this.driver.wait(async () => (await this.driver.findElements({css: 'iframe'})).length);
    await this.driver.switchTo().frame(0);
    await this.waitFor(() => document.readyState === 'complete');
    await this.evaluate(recordViolations);
  }

  async press(combo) {
    const keys = (combo.length > 1 ? combo.split('+') : [combo]).map(k => SELENIUM_KEYS[k] ?? k);
    let actions = this.driver.actions({async: true});
    for (const key of keys.slice(0, -1)) actions = actions.keyDown(key);
    actions = actions.sendKeys(keys.at(-1));
    for (const key of keys.slice(0, -1).reverse()) actions = actions.keyUp(key);
    await actions.perform();
  }

  type(text) { return this.driver.actions({async: true}).sendKeys(...text).perform(); }
  reload() { return this.driver.navigate().refresh(); }
  async screenshot(file) { await writeFile(file, await this.driver.takeScreenshot(), 'base64'); }

  evaluate(fn, ...args) {
    return this.driver.executeScript(`return (${fn}).apply(null, arguments)`, ...args);
  }

  waitFor(fn, ...args) { return this.driver.wait(() => this.evaluate(fn, ...args), 30000); }

  accessibleName(id) { return this.driver.findElement({id}).getAccessibleName(); }

  async close() {
    await Promise.race([this.driver?.quit(), new Promise(r => setTimeout(r, 10000).unref())])
      .catch(() => {});
    this.server.kill();
    await Promise.race([this.ended, new Promise(r => setTimeout(r, 5000).unref())]);
    if (this.server.exitCode === null) this.server.kill('SIGKILL');
  }
}

// Keeps, in the page, the directive of each breach of its security policy.
function recordViolations() {
  window.violations = [];
  document.addEventListener('securitypolicyviolation',
                            event => window.violations.push(event.effectiveDirective));
}

// Opens a tab in the engine: headless where the engine can be, dark where asked.
export function open(engine, options = {}) {
  return (engine === 'webkit' ? WebKitTab : PuppeteerTab).open(engine, options);
}
