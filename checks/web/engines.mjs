// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// A tab in one of Debian's browsers, behind one interface: Chromium and Firefox ESR (over
// WebDriver BiDi) through puppeteer-core, WebKitGTK's MiniBrowser through its WebDriver with
// selenium-webdriver. Keys are named as puppeteer names them: ' ', 'Shift+Tab'.
import {writeFile} from 'node:fs/promises';
import puppeteer from 'puppeteer-core';
import {Builder, Key} from 'selenium-webdriver';
import {DriverService} from 'selenium-webdriver/remote/index.js';

export const ENGINES = (process.env.TABULON_ENGINES ?? 'chromium firefox webkit').split(' ');
const combo = keys => (keys.length > 1 ? keys.split('+') : [keys]);
const within = (promise, ms) =>
  Promise.race([promise, new Promise(resolve => setTimeout(resolve, ms).unref())]);
// Keeps the directive of each breach of the page's security policy.
function recordViolations() {
  window.violations = [];
  addEventListener('securitypolicyviolation', e => window.violations.push(e.effectiveDirective));
}

class PuppeteerTab {
  static async open(engine, {headless = true, dark = false, args = [], userDataDir}) {
    const common = {headless, args, userDataDir, defaultViewport: headless ? undefined : null};
    // The machine's network is closed: the browser asks nothing of it. Chromium opens on
    // about:blank or the app it is given, never on the new-tab page, whose chrome:// requests
    // puppeteer would count as loading for ever.
    const appGiven = args.some(arg => arg.startsWith('--app='));
    const browser = await puppeteer.launch(
      engine === 'chromium'
        ? {
            ...common,
            executablePath: '/usr/bin/chromium',
            ignoreDefaultArgs: appGiven ? ['about:blank'] : [],
            args: ['--no-sandbox', '--disable-component-update', '--disable-quic', ...args]
          }
        : {
            ...common,
            browser: 'firefox',
            executablePath: '/usr/bin/firefox-esr',
            extraPrefsFirefox: dark ? {'ui.systemUsesDarkTheme': 1} : {}
          }
    );
    // Firefox's first tab never gets the focus.
    const page = engine === 'chromium' ? (await browser.pages())[0] : await browser.newPage();
    if (dark && engine === 'chromium')
      await page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: 'dark'}]);
    await page.evaluateOnNewDocument(recordViolations);
    return Object.assign(new PuppeteerTab(), {engine, browser, page});
  }

  async goto(url, {width = 1024, height = 768, ...metrics} = {}) {
    await this.page.setViewport({width, height, ...metrics});
    await this.page.goto(url);
  }

  async press(keys) {
    const [last, ...held] = combo(keys).reverse();
    for (const key of held) await this.page.keyboard.down(key);
    await this.page.keyboard.press(last);
    for (const key of held) await this.page.keyboard.up(key);
  }

  type(text) {
    return this.page.keyboard.type(text);
  }
  evaluate(fn, ...args) {
    return this.page.evaluate(fn, ...args);
  }
  waitFor(fn, ...args) {
    return this.page.waitForFunction(fn, {timeout: 30000}, ...args);
  }
  screenshot(path) {
    return this.page.screenshot({path});
  }

  // Firefox gives no accessibility tree to read, but finds an element by its name.
  async accessibleName(id, expected) {
    if (this.engine === 'firefox') {
      const found = await this.page.$$(`::-p-aria(${JSON.stringify(expected)})`);
      return (await Promise.all(found.map(e => e.evaluate(n => n.id)))).includes(id) && expected;
    }
    return (
      await this.page.accessibility.snapshot({
        root: await this.page.$(`#${id}`),
        interestingOnly: false
      })
    )?.name;
  }

  async close() {
    const process = this.browser.process();
    await within(this.browser.close(), 15000);
    if (process?.exitCode === null) process.kill('SIGKILL');
  }
}

// WebKitGTK has no headless mode and no window narrower than 447 px: a narrower page is shown
// in a frame. Breaches of the security policy are recorded from when the page has loaded.
const WEBDRIVER_KEYS = {
  Tab: Key.TAB,
  Enter: Key.ENTER,
  Escape: Key.ESCAPE,
  ' ': Key.SPACE,
  Backspace: Key.BACK_SPACE,
  Control: Key.CONTROL,
  Shift: Key.SHIFT
};
class WebKitTab {
  static async open(engine, {dark = false}) {
    const service = new DriverService.Builder('/usr/bin/WebKitWebDriver').setLoopback(true).build();
    const tab = Object.assign(new WebKitTab(), {engine, service});
    // The paste rows write to the clipboard.
    const args = ['--automation', '--javascript-can-access-clipboard=true'];
    tab.driver = await new Builder()
      .usingServer(await service.start(30000))
      .withCapabilities({
        browserName: 'MiniBrowser',
        'webkitgtk:browserOptions': {
          binary: '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
          args: dark ? [...args, '--dark-mode'] : args
        }
      })
      .build();
    await tab.driver.manage().setTimeouts({script: 30000, pageLoad: 30000});
    return tab;
  }

  async goto(url, {width = 1024, height = 768} = {}) {
    await this.driver.switchTo().defaultContent();
    if (width >= 447) {
      await this.driver.manage().window().setRect({width, height});
      await this.driver.get(url);
    } else {
      await this.driver.get(`${new URL(url).origin}/frame?width=${width}`);
      await this.driver.switchTo().frame(0);
      await this.waitFor(() => document.readyState === 'complete');
    }
    await this.evaluate(recordViolations);
  }

  async press(keys) {
    const [last, ...held] = combo(keys)
      .map(k => WEBDRIVER_KEYS[k] ?? k)
      .reverse();
    let actions = this.driver.actions({async: true});
    for (const key of held) actions = actions.keyDown(key);
    actions = actions.sendKeys(last);
    for (const key of held) actions = actions.keyUp(key);
    await actions.perform();
  }

  type(text) {
    return this.driver
      .actions({async: true})
      .sendKeys(...text)
      .perform();
  }
  evaluate(fn, ...args) {
    return this.driver.executeScript(`return (${fn}).apply(null, arguments)`, ...args);
  }
  waitFor(fn, ...args) {
    return this.driver.wait(() => this.evaluate(fn, ...args), 30000);
  }
  async screenshot(path) {
    await writeFile(path, await this.driver.takeScreenshot(), 'base64');
  }
  accessibleName(id) {
    return this.driver.findElement({id}).getAccessibleName();
  }

  async close() {
    await within(
      this.driver?.quit().catch(() => {}),
      10000
    );
    await this.service.kill();
  }
}

// Opens a tab, headless where the engine can be, dark where asked.
export const open = (engine, options = {}) =>
  (engine === 'webkit' ? WebKitTab : PuppeteerTab).open(engine, options);
