// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What only Chromium can show, as it emulates a phone: Lighthouse's audit on a slow phone; the
// keys rows by touch; the engine against the desktop's ($TABULON_NATIVE_ROWS) on every table, the
// p-values to the bit (from $TABULON_PVALUES_WASM); high contrast; the screenshots.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';
import {after, before, describe, test} from 'node:test';
import lighthouse from 'lighthouse';
import {open} from './engines.mjs';
import {Person, examples, keysRow, load, openHelp} from './person.mjs';
import {serve} from './server.mjs';

const {TABULON_PAGE: PAGE, TABULON_SCREENSHOTS: SHOTS} = process.env;
// A phone as Lighthouse's mobile profile has it.
const PHONE = {width: 360, height: 740, deviceScaleFactor: 2, isMobile: true, hasTouch: true};
// What Lighthouse measures of how soon the page shows and takes input, and of what it loads.
const METRICS = 'first-contentful-paint largest-contentful-paint interactive total-blocking-time'
  .concat(' cumulative-layout-shift total-byte-weight')
  .split(' ');

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

  test("Lighthouse's phone: accessibility, best practices and SEO in full, and how fast", async t => {
    const phone = await open('chromium');
    try {
      const {lhr} = await lighthouse(site.url, {logLevel: 'error'}, undefined, phone.page);
      const {categories, audits} = lhr;
      for (const {title, score} of Object.values(categories))
        t.diagnostic(`${title}: ${Math.round(score * 100)}`);
      for (const id of METRICS) t.diagnostic(`${audits[id].title}: ${audits[id].displayValue}`);
      // A category is at 100 when every audit that weighs in it passes.
      const short = ['accessibility', 'best-practices', 'seo'].flatMap(id =>
        categories[id].auditRefs
          .filter(ref => ref.weight && audits[ref.id].score < 1)
          .map(ref => `${id}: ${ref.id}`)
      );
      assert.deepEqual(short, []);
    } finally {
      await phone.close();
    }
  });

  test('the keys rows on a touch screen, by taps and an on-screen keyboard', async t => {
    for (const row of examples('keys'))
      await t.test(row[0], () => keysRow(tab, site.url, row, {touch: true, metrics: PHONE}));
  });

  test('fields and buttons at least 44 CSS px tall for a finger', async () => {
    await load(tab, site.url, PHONE);
    assert.ok(
      await tab.evaluate(() =>
        [...document.querySelectorAll('input, button')].every(
          e => !e.getClientRects().length || e.offsetHeight >= 44
        )
      )
    );
  });

  test("the engine in the browser against the desktop's, table by table", async t => {
    await load(tab, site.url);
    // The engine's messages are Windows-1251, as the page's engine gives them to its decoder.
    const native = new TextDecoder('windows-1251')
      .decode(readFileSync(process.env.TABULON_NATIVE_ROWS))
      .trim()
      .split('\n');
    const web = await tab.evaluate(
      async tables => {
        const {loadEngine} = await import('./engine.js');
        const bytes = name => fetch(name).then(response => response.arrayBuffer());
        const engine = await loadEngine(await bytes('engine.wasm'));
        const probe = await WebAssembly.instantiate(await bytes('engine_pvalues.wasm'));
        const {exports} = probe.instance;
        exports._initialize();
        const bits = p =>
          new BigUint64Array(new Float64Array([p]).buffer)[0].toString(16).padStart(16, '0');
        return tables.map(t => {
          const r = engine.fourfold(t);
          const method = ['Точный метод Фишера', 'Хи-квадрат с поправкой Йейтса'][+r.chiSquare];
          return [
            t.join(' '),
            r.method === method ? +r.chiSquare : `method ${r.method}`,
            ...r.verdicts,
            ...(engine.usable(t)
              ? [bits(exports.tabulon_fisher_p(...t)), bits(exports.tabulon_yates_p(...t))]
              : [])
          ].join('\t');
        });
      },
      native.map(line => line.split('\t')[0].split(' ').map(Number))
    );
    const head = line => line.split('\t').slice(0, 4).join('\t');
    const verdicts = web.filter((w, i) => head(w) === head(native[i])).length;
    const bits = web.filter((w, i) => w === native[i]).length;
    t.diagnostic(
      `${web.length} tables: method and both verdicts as the desktop's for ` +
        `${verdicts}; both p-values the same to the bit for ${bits}`
    );
    web.forEach((w, i) => w === native[i] || t.diagnostic(`desktop ${native[i]}; web ${w}`));
    assert.equal(verdicts, web.length);
  });

  test('under a high-contrast theme every field, button, border and the focus ring shown', async () => {
    // Puppeteer's emulateMediaFeatures knows no forced-colors.
    const cdp = await tab.page.createCDPSession();
    const forced = value =>
      cdp.send('Emulation.setEmulatedMedia', {features: [{name: 'forced-colors', value}]});
    await forced('active');
    await load(tab, site.url);
    const shown = await tab.evaluate(() => {
      const style = e => getComputedStyle(typeof e === 'string' ? $(e) : e);
      const line = (e, side) =>
        style(e)[`${side}Style`] !== 'none' && parseFloat(style(e)[`${side}Width`]) >= 1;
      const controls = [...document.querySelectorAll('input, button, .frame')];
      return [
        controls.every(e => line(e, 'borderTop')),
        style('pushButton').color !== style('pushButtonAbout').color,
        line('lineEditA', 'outline')
      ];
    });
    await forced('none');
    assert.deepEqual(shown, [true, true, true]);
  });

  test('the screenshots, light and dark: the page after 30 20 20 30, and help', async () => {
    for (const scheme of ['light', 'dark']) {
      await tab.page.emulateMediaFeatures([{name: 'prefers-color-scheme', value: scheme}]);
      for (const [face, metrics] of [
        ['', {}],
        ['-phone', PHONE]
      ]) {
        const name = `${SHOTS}/screenshot-web${face}${scheme === 'dark' ? '-dark' : ''}`;
        await load(tab, site.url, metrics);
        await new Person(tab, !!metrics.hasTouch).do('a=30', 'b=20', 'c=20', 'd=30', 'calc');
        await tab.screenshot(`${name}.png`);
        await openHelp(tab);
        await tab.evaluate(() => $('textBrowser').querySelector('table').scrollIntoView());
        await tab.screenshot(`${name}-help.png`);
      }
    }
  });
});
