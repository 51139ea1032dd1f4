// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The web page in every engine, used by keys as a person does, against the rows of
// tests/data/examples.tsv that the window is checked against: the keys rows and the text
// rows; help, read afresh at each opening and closed by Escape and by OK; Enter moving on;
// the footer's links; nothing past the right edge at 320, 360 and 1024 CSS px; the page
// opened again with its server stopped. The page's folder is $TABULON_PAGE.
import assert from 'node:assert/strict';
import {after, before, describe, test} from 'node:test';
import {ENGINES, open} from './engines.mjs';
import {Person, examples, keysRow, load, settle} from './person.mjs';
import {serve} from './server.mjs';

for (const engine of ENGINES) {
  describe(engine, () => {
    let site, tab;
    before(async () => {
      site = await serve(process.env.TABULON_PAGE);
      tab = await open(engine);
    });
    after(async () => {
      await tab?.close();
      await site?.stop();
    });

    test('the keys rows, by keys', async t => {
      for (const row of examples('keys')) await t.test(row[0], () => keysRow(tab, site.url, row));
    });

    test('the text rows, as the browser gives them to a screen reader', async t => {
      await load(tab, site.url);
      for (const [name, id, property, expected] of examples('text')) {
        await t.test(name, async () => {
          // Help's own, with help open; the form's, with it closed, as a modal dialog hides it.
          const inHelp = await tab.evaluate(id => !!document.getElementById(id)
            ?.closest('dialog'), id);
          if (inHelp !== await tab.evaluate(() => document.getElementById('Dialog').open)) {
            await tab.evaluate(() => document.getElementById('Dialog').open
              ? document.getElementById('Dialog').close()
              : document.getElementById('pushButtonAbout').click());
            await tab.waitFor(open => document.getElementById('Dialog').open === open &&
                              document.getElementById('textBrowser').textContent, inHelp);
          }
          if (property === 'windowTitle' && id === 'MainWindow')
            return assert.equal(await tab.evaluate(() => document.title), expected);
          if (property === 'openExternalLinks') {
            return assert.ok(await tab.evaluate(() => [...document.querySelectorAll(
              '#textBrowser a[href^=http]')].every(a => a.target === '_blank')));
          }
          if (property === 'accessibleDescription') {
            return assert.equal(await tab.evaluate(id => document.getElementById(
              document.getElementById(id).getAttribute('aria-describedby')).textContent, id),
            expected);
          }
          assert.equal(await tab.accessibleName(id, expected), expected);
        });
      }
    });

    test('help, read afresh at each opening, closed by Escape and by OK', async () => {
      await load(tab, site.url);
      const opened = [];
      for (const [close, page] of [['Escape', null], ['OK', '<!doctype html><p>a page']]) {
        site.helpPage = page;
        await new Person(tab).reach('pushButtonAbout');
        await tab.press(' ');
        await tab.waitFor(() => document.getElementById('Dialog').open &&
                                 document.getElementById('textBrowser').textContent);
        opened.push(await tab.evaluate(() => document.getElementById('textBrowser')
          .innerText.trim().split('\n')[0]));
        assert.equal(await tab.evaluate(() => document.activeElement.id), 'textBrowser');
        if (close === 'Escape') {
          // It ends by naming the licence, and links the page's own copy of its text.
          assert.deepEqual(await tab.evaluate(async () => {
            const help = document.getElementById('textBrowser');
            const link = [...help.querySelectorAll('a')].pop();
            return [help.textContent.includes('GPL-3.0-or-later'), link.getAttribute('href'),
                    (await fetch(link.href)).ok];
          }), [true, 'LICENSE.txt', true]);
          await tab.press('Escape');
        } else {
          await tab.press('Tab');
          await tab.press(' ');
        }
        await tab.waitFor(() => !document.getElementById('Dialog').open);
        assert.equal(await tab.evaluate(() => document.activeElement.id), 'pushButtonAbout');
      }
      site.helpPage = null;
      assert.match(opened[0], /^Tabulon 2x2/);
      assert.equal(opened[1], 'a page');
    });

    test('Enter moves on: from a to b, from d to "Расчет"', async () => {
      await load(tab, site.url);
      const person = new Person(tab);
      for (const step of ['a=8', 'b=2', 'c=1', 'd=5']) await person.step(step);
      const reached = [];
      for (const id of ['lineEditA', 'lineEditD']) {
        await tab.evaluate(id => document.getElementById(id).focus(), id);
        await tab.press('Enter');
        reached.push(await tab.evaluate(() => document.activeElement.id));
      }
      assert.deepEqual(reached, ['lineEditB', 'pushButton']);
    });

    test('the footer links the licence, the source and the notices', async () => {
      await load(tab, site.url);
      const links = await tab.evaluate(() => Promise.all([...document.querySelectorAll(
        'footer a')].map(async a => [a.getAttribute('href'),
                                     (await fetch(a.href, {method: 'HEAD'})).ok])));
      assert.equal(links.length, 3);
      assert.ok(links.every(([, ok]) => ok), JSON.stringify(links));
    });

    for (const width of [320, 360, 1024]) {
      test(`nothing past the right edge at ${width} CSS px, nor in help`, async () => {
        await load(tab, site.url, {width, height: 740});
        const person = new Person(tab);
        for (const step of ['a=999999', 'b=999999', 'c=999999', 'd=999999', 'calc'])
          await person.step(step);
        for (const state of ['form', 'help']) {
          if (state === 'help') {
            await tab.evaluate(() => document.getElementById('pushButtonAbout').click());
            await tab.waitFor(() => document.getElementById('Dialog').open);
            await settle(tab);
          }
          assert.deepEqual(await tab.evaluate(() => [...document.querySelectorAll('body *')]
            .filter(e => !e.closest('#textBrowser > *') && e.getClientRects().length &&
                         e.getBoundingClientRect().right > document.documentElement.clientWidth + 0.5)
            .map(e => e.id || e.tagName).concat(document.documentElement.scrollWidth >
              document.documentElement.clientWidth ? ['the page scrolls sideways'] : [])), [],
          `in the ${state}`);
        }
      });
    }

    test('opened again with its server stopped, it calculates', async () => {
      await load(tab, site.url);
      await tab.waitFor(() => navigator.serviceWorker.ready.then(() =>
        !!navigator.serviceWorker.controller));
      await site.stop();
      await tab.reload();
      await tab.waitFor(() => document.activeElement.id === 'lineEditA');
      const person = new Person(tab);
      for (const step of ['a=8', 'b=2', 'c=1', 'd=5', 'calc']) await person.step(step);
      assert.equal(await tab.evaluate(() => document.getElementById('labelZ').textContent),
                   'Отвергается на уровне 0.05');
    });
  });
}
