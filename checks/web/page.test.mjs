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
      test(`nothing past the right edge at ${width} CSS px, nor past help's`, async () => {
        await load(tab, site.url, {width, height: 740});
        const person = new Person(tab);
        for (const step of ['a=999999', 'b=999999', 'c=999999', 'd=999999', 'calc'])
          await person.step(step);
        await openHelp(tab);
        // Help's own elements within its text's box, the rest within the page.
        assert.deepEqual(await tab.evaluate(() => {
          const help = document.getElementById('textBrowser');
          const edge = e => help.contains(e) && e !== help
            ? help.getBoundingClientRect().right - help.clientLeft - 0.5
            : document.documentElement.clientWidth;
          return [...document.querySelectorAll('body *')]
            .filter(e => e.getClientRects().length && e.getBoundingClientRect().right > edge(e) + 1)
            .map(e => e.id || e.tagName)
            .concat(help.scrollWidth > help.clientWidth ? ['help scrolls sideways'] : [])
            .concat(document.documentElement.scrollWidth > document.documentElement.clientWidth
              ? ['the page scrolls sideways'] : []);
        }), []);
      });
    }

    test('every field asks for the number pad, whose Enter key moves on', async () => {
      await load(tab, site.url);
      assert.deepEqual(await tab.evaluate(() => [...document.querySelectorAll('input')]
        .map(f => `${f.getAttribute('inputmode')} ${f.getAttribute('enterkeyhint')}`)),
      ['numeric next', 'numeric next', 'numeric next', 'numeric done']);
    });

    test('under its security policy it calculates and shows help, and runs nothing help holds', async () => {
      await load(tab, site.url);
      const person = new Person(tab);
      for (const step of ['a=8', 'b=2', 'c=1', 'd=5', 'calc']) await person.step(step);
      assert.equal(await tab.evaluate(() => document.getElementById('labelZ').textContent),
                   'Отвергается на уровне 0.05');
      await openHelp(tab);
      assert.deepEqual(await tab.evaluate(() => window.violations ?? []), []);
      await tab.evaluate(() => document.getElementById('Dialog').close());
      site.helpPage = '<p>a page<img src="nothing.png" onerror="window.ran = 1">' +
                      '<script>window.ran = 2</script>';
      await openHelp(tab);
      await tab.waitFor(() => document.querySelector('#textBrowser img').complete);
      site.helpPage = null;
      assert.equal(await tab.evaluate(() => window.ran ?? 'nothing'), 'nothing');
    });

    test('dark as the system is dark, with text, borders and focus ring in contrast', async () => {
      const dark = await open(engine, {dark: true});
      try {
        await load(dark, site.url);
        assert.ok(await dark.evaluate(() => matchMedia('(prefers-color-scheme: dark)').matches));
        await contrasts(dark);
      } finally {
        await dark.close();
      }
      await load(tab, site.url);
      await contrasts(tab);
    });

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

async function openHelp(tab) {
  await tab.evaluate(() => document.getElementById('pushButtonAbout').click());
  await tab.waitFor(() => document.getElementById('Dialog').open &&
                          document.getElementById('textBrowser').firstChild);
  await settle(tab);
}

// The contrast of each text with what lies behind it (4.5:1), and of the fields' and
// buttons' borders and the focus ring with theirs (3:1), in help too, as WCAG computes it.
async function contrasts(tab) {
  await openHelp(tab);
  const low = await tab.evaluate(() => {
    const rgb = colour => colour.match(/[\d.]+/g).slice(0, 3).map(Number);
    const luminance = colour => rgb(colour).map(v => v / 255)
      .map(v => v <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4)
      .reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
    const ratio = (a, b) => {
      const [l1, l2] = [luminance(a), luminance(b)].sort((x, y) => y - x);
      return (l1 + 0.05) / (l2 + 0.05);
    };
    // The first colour behind an element that is not transparent.
    const behind = e => {
      for (let at = e; at; at = at.parentElement) {
        const colour = getComputedStyle(at).backgroundColor;
        if (!/rgba\(.*, 0\)$|transparent/.test(colour)) return colour;
      }
      return getComputedStyle(document.documentElement).backgroundColor;
    };
    const found = [];
    const check = (what, a, b, least) => ratio(a, b) < least &&
      found.push(`${what}: ${a} on ${b}, ${ratio(a, b).toFixed(2)}`);
    for (const e of document.querySelectorAll('body *')) {
      const style = getComputedStyle(e);
      const text = [...e.childNodes].some(n => n.nodeType === 3 && n.textContent.trim()) ||
                   e.matches('input');
      if (text && e.getClientRects().length && !e.matches(':disabled'))
        check(`text of ${e.id || e.tagName}`, style.color, behind(e), 4.5);
      if (e.matches('input, button:enabled'))
        check(`border of ${e.id || e.tagName}`, style.borderTopColor, behind(e.parentElement), 3);
    }
    const ring = getComputedStyle(document.documentElement).getPropertyValue('--focus');
    const probe = document.body.appendChild(document.createElement('i'));
    probe.style.color = ring;
    for (const id of ['lineEditA', 'pushButtonAbout']) {
      const e = document.getElementById(id);
      check(`focus ring of ${id}`, getComputedStyle(probe).color, behind(e.parentElement), 3);
    }
    probe.remove();
    return found;
  });
  assert.deepEqual(low, []);
}
