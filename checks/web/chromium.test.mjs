// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What only Chromium can show, as it emulates a phone: the keys rows on a 360 x 740 touch
// screen, by taps and an on-screen keyboard; how soon the page takes input on a slow phone,
// and what it loads; the page's engine against the desktop's on every table the tests know
// ($TABULON_NATIVE_ROWS, made by engine_rows), the p-values to the bit
// ($TABULON_PVALUES_WASM, the page's engine with its p-values exported); and the
// screenshots in $TABULON_SCREENSHOTS.
import assert from 'node:assert/strict';
import {readFileSync, readdirSync} from 'node:fs';
import {after, before, describe, test} from 'node:test';
import {gzipSync} from 'node:zlib';
import {open} from './engines.mjs';
import {Person, examples, keysRow, load} from './person.mjs';
import {serve} from './server.mjs';

const {TABULON_PAGE: PAGE, TABULON_SCREENSHOTS: SHOTS} = process.env;
// What the page is measured on: Lighthouse's mobile profile.
const PHONE = {width: 360, height: 740, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
const SLOW_NETWORK = {offline: false, latency: 150, downloadThroughput: 1.6e6 / 8,
                      uploadThroughput: 750e3 / 8};

describe('chromium, as a phone', () => {
  let site, tab;
  before(async () => {
    site = await serve(PAGE, {'engine_pvalues.wasm': process.env.TABULON_PVALUES_WASM});
    tab = await open('chromium');
  });
  after(async () => {
    await tab?.close();
    await site?.stop();
  });

  test('how soon the page takes input on a slow phone, and what it loads', async t => {
    const cdp = await tab.page.createCDPSession();
    await cdp.send('Network.enable');
    await cdp.send('Network.setCacheDisabled', {cacheDisabled: true});
    await cdp.send('Network.setBypassServiceWorker', {bypass: true});
    await cdp.send('Network.emulateNetworkConditions', SLOW_NETWORK);
    await cdp.send('Emulation.setCPUThrottlingRate', {rate: 4});
    await tab.page.setViewport(PHONE);
    const loaded = new Map();
    cdp.on('Network.responseReceived', e => loaded.set(e.requestId, {url: e.response.url}));
    cdp.on('Network.loadingFinished', e => loaded.has(e.requestId) &&
                                           (loaded.get(e.requestId).size = e.encodedDataLength));
    for (const run of [1, 2]) {
      loaded.clear();
      await tab.page.goto('about:blank');
      const start = performance.now();
      await cdp.send('Page.navigate', {url: site.url});
      // A field takes input when a digit typed in it stays there.
      for (let ready = false; !ready;) {
        assert.ok(performance.now() - start < 60000, 'no field took input in 60 s');
        if (await tab.evaluate(() => document.activeElement.id === 'lineEditA')
          .catch(() => false)) {
          await cdp.send('Input.insertText', {text: '1'});
          ready = await tab.evaluate(() => document.getElementById('lineEditA').value === '1');
        }
      }
      t.diagnostic(`run ${run}: the fields take input ${((performance.now() - start) / 1000)
        .toFixed(2)} s after navigation`);
      await tab.page.waitForNetworkIdle({idleTime: 1000});
    }
    for (const {url, size} of loaded.values())
      t.diagnostic(`${url.replace(site.url, '') || '(the page)'}: ${size} bytes`);
    const total = [...loaded.values()].reduce((sum, {size}) => sum + size, 0);
    const kept = readdirSync(PAGE).filter(name => !name.endsWith('.tar'))
      .reduce((sum, name) => sum + gzipSync(readFileSync(`${PAGE}/${name}`)).length, 0);
    t.diagnostic(`what the page loads: ${(total / 1024).toFixed(1)} KB gzipped; with all ` +
                 `its service worker keeps for use offline: ${(kept / 1024).toFixed(1)} KB`);
    await cdp.send('Emulation.setCPUThrottlingRate', {rate: 1});
    await cdp.send('Network.emulateNetworkConditions', {...SLOW_NETWORK, latency: 0,
                                                        downloadThroughput: -1,
                                                        uploadThroughput: -1});
    await cdp.send('Network.setCacheDisabled', {cacheDisabled: false});
    await cdp.send('Network.setBypassServiceWorker', {bypass: false});
    await cdp.detach();
  });

  test('the keys rows on a touch screen, by taps and an on-screen keyboard', async t => {
    for (const row of examples('keys')) {
      await t.test(row[0], () => keysRow(tab, site.url, row, {touch: true, metrics: PHONE}));
    }
  });

  test('fields and buttons at least 44 CSS px tall for a finger', async () => {
    await load(tab, site.url, PHONE);
    const heights = await tab.evaluate(() => [...document.querySelectorAll('input, button')]
      .filter(e => e.getClientRects().length).map(e => e.offsetHeight));
    assert.ok(Math.min(...heights) >= 44, `heights ${heights}`);
  });

  test('the engine in the browser against the desktop\'s, table by table', async t => {
    await load(tab, site.url);
    const native = readFileSync(process.env.TABULON_NATIVE_ROWS, 'utf8').trim().split('\n');
    const tables = native.map(line => line.split('\t')[0].split(' ').map(Number));
    const web = await tab.evaluate(async tables => {
      const {loadEngine} = await import('./engine.js');
      const bytes = name => fetch(name).then(response => response.arrayBuffer());
      const engine = await loadEngine(await bytes('engine.wasm'));
      const probe = (await WebAssembly.instantiate(await bytes('engine_pvalues.wasm'))).instance;
      probe.exports._initialize();
      const bits = p => {
        const view = new DataView(new ArrayBuffer(8));
        view.setFloat64(0, p);
        return view.getBigUint64(0).toString(16).padStart(16, '0');
      };
      return tables.map(t => {
        const r = engine.fourfold(t);
        const method = r.chiSquare ? 'Хи-квадрат с поправкой Йейтса' : 'Точный метод Фишера';
        if (r.method !== method) return `method ${r.method}`;
        return [t.join(' '), r.chiSquare ? 1 : 0, ...r.verdicts, ...(r.verdicts[0] === '' ? [] :
          [bits(probe.exports.tabulon_fisher_p(...t)), bits(probe.exports.tabulon_yates_p(...t))])]
          .join('\t');
      });
    }, tables);
    const verdicts = web.filter((w, i) => w.split('\t').slice(0, 4).join('\t') ===
                                          native[i].split('\t').slice(0, 4).join('\t')).length;
    t.diagnostic(`${tables.length} tables: method and both verdicts as the desktop's for ` +
                 `${verdicts}; both p-values the same to the bit for ` +
                 `${web.filter((w, i) => w === native[i]).length}`);
    web.forEach((w, i) => w === native[i] || t.diagnostic(`desktop ${native[i]}; web ${w}`));
    assert.equal(verdicts, tables.length);
  });

  test('under a high-contrast theme, every field, button, border and the focus ring shown',
       async () => {
    const cdp = await tab.page.createCDPSession();
    await cdp.send('Emulation.setEmulatedMedia',
                   {features: [{name: 'forced-colors', value: 'active'}]});
    await load(tab, site.url);
    const shown = await tab.evaluate(() => {
      const style = e => getComputedStyle(e);
      const controls = [...document.querySelectorAll('input, button, .frame')]
        .filter(e => e.getClientRects().length);
      return {
        borders: controls.every(e => style(e).borderTopStyle === 'solid' &&
                                     parseFloat(style(e).borderTopWidth) >= 1),
        disabled: style(document.getElementById('pushButton')).color !==
                  style(document.getElementById('pushButtonAbout')).color,
        ring: style(document.activeElement).outlineStyle !== 'none' &&
              parseFloat(style(document.activeElement).outlineWidth) >= 1,
      };
    });
    await cdp.send('Emulation.setEmulatedMedia', {features: []});
    await cdp.detach();
    assert.deepEqual(shown, {borders: true, disabled: true, ring: true});
  });

  test('the screenshots, light and dark, of the page after 30 20 20 30 and of help',
       async () => {
    for (const scheme of ['light', 'dark']) {
      await tab.page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: scheme}]);
      for (const [face, metrics] of [['', {}], ['-phone', PHONE]]) {
        const name = `${SHOTS}/screenshot-web${face}${scheme === 'dark' ? '-dark' : ''}`;
        await load(tab, site.url, metrics);
        const person = new Person(tab, !!metrics.hasTouch);
        for (const step of ['a=30', 'b=20', 'c=20', 'd=30', 'calc']) await person.step(step);
        await tab.screenshot(`${name}.png`);
        await tab.evaluate(() => document.getElementById('pushButtonAbout').click());
        await tab.waitFor(() => document.getElementById('textBrowser').firstChild);
        await tab.evaluate(() => document.querySelector('#textBrowser table').scrollIntoView());
        await tab.screenshot(`${name}-help.png`);
      }
    }
    await tab.page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: 'light'}]);
  });
});
