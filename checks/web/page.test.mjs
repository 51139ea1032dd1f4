// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The page ($TABULON_PAGE) in every engine, by keys as a person uses it, against the rows the
// window is checked against; help, the edges, the security policy, axe's audit, the borders'
// contrast, offline use.
import assert from 'node:assert/strict';
import {after, before, describe, test} from 'node:test';
import {ENGINES, open} from './engines.mjs';
import {audit} from './audit.mjs';
import {Person, examples, keysRow, load, openHelp} from './person.mjs';
import {serve} from './server.mjs';

for (const engine of ENGINES)
  describe(engine, () => {
    let site, tab;
    before(async () => ([site, tab] = [await serve(process.env.TABULON_PAGE), await open(engine)]));
    after(async () => {
      await tab?.close();
      await site?.stop();
    });

    test('the keys rows, by keys', async t => {
      for (const row of examples('keys')) await t.test(row[0], () => keysRow(tab, site.url, row));
    });

    test('the text rows, as the browser gives them to a screen reader', async t => {
      await load(tab, site.url);
      for (const [name, id, property, expected] of examples('text'))
        await t.test(name, async () => {
          // Help's rows with help open; the form's with it closed, as a modal dialog hides it.
          const inHelp = await tab.evaluate(id => !!$(id)?.closest('dialog'), id);
          if (inHelp !== (await tab.evaluate(() => $('Dialog').open))) {
            await tab.evaluate(() =>
              $('Dialog').open ? $('Dialog').close() : $('pushButtonAbout').click()
            );
            await tab.waitFor(open => $('Dialog').open === open, inHelp);
          }
          const value =
            id === 'MainWindow'
              ? await tab.evaluate(() => document.title)
              : property === 'openExternalLinks'
                ? String(
                    await tab.evaluate(() =>
                      [...$('textBrowser').querySelectorAll('a')].every(a => a.target === '_blank')
                    )
                  )
                : property === 'accessibleDescription'
                  ? await tab.evaluate(
                      id => $($(id).getAttribute('aria-describedby')).textContent,
                      id
                    )
                  : await tab.accessibleName(id, expected);
          assert.equal(value, expected);
        });
    });

    test('help, read afresh at each opening, closed by Escape and by OK', async () => {
      await load(tab, site.url);
      for (const [close, page] of [
        ['Escape', null],
        ['OK', '<!doctype html><p>a page']
      ]) {
        site.helpPage = page;
        await new Person(tab).reach('pushButtonAbout');
        await tab.press(' ');
        await tab.waitFor(() => $('Dialog').open);
        const [first, focus] = await tab.evaluate(() => [
          $('textBrowser').innerText.trim().split('\n')[0],
          document.activeElement.id
        ]);
        assert.deepEqual([first, focus], [page ? 'a page' : 'Tabulon 2x2', 'textBrowser']);
        if (close === 'OK') {
          await tab.press('Tab');
          await tab.press(' ');
        } else {
          // It names the licence and links the page's copy of its text.
          assert.deepEqual(
            await tab.evaluate(async () => {
              const link = [...$('textBrowser').querySelectorAll('a')].pop();
              return [
                $('textBrowser').textContent.includes('GPL-3.0-or-later'),
                link.getAttribute('href'),
                (await fetch(link.href)).ok
              ];
            }),
            [true, 'LICENSE.txt', true]
          );
          await tab.press('Escape');
        }
        await tab.waitFor(() => !$('Dialog').open);
        assert.equal(await tab.evaluate(() => document.activeElement.id), 'pushButtonAbout');
      }
      site.helpPage = null;
    });

    test('Enter moves on: from a to b, from d to "Расчет"', async () => {
      await load(tab, site.url);
      await new Person(tab).do('a=8', 'b=2', 'c=1', 'd=5');
      const reached = [];
      for (const id of ['lineEditA', 'lineEditD']) {
        await tab.evaluate(id => $(id).focus(), id);
        await tab.press('Enter');
        reached.push(await tab.evaluate(() => document.activeElement.id));
      }
      assert.deepEqual(reached, ['lineEditB', 'pushButton']);
    });

    test(
      'the footer links the licence, the source and the notices; fields ask for the ' +
        'number pad, whose Enter key moves on',
      async () => {
        await load(tab, site.url);
        assert.deepEqual(
          await tab.evaluate(() =>
            Promise.all(
              [...document.querySelectorAll('footer a')].map(a =>
                fetch(a.href, {method: 'HEAD'}).then(r => r.ok)
              )
            )
          ),
          [true, true, true]
        );
        assert.deepEqual(
          await tab.evaluate(() =>
            [...document.querySelectorAll('input')].map(
              f => `${f.getAttribute('inputmode')} ${f.getAttribute('enterkeyhint')}`
            )
          ),
          ['numeric next', 'numeric next', 'numeric next', 'numeric done']
        );
      }
    );

    for (const width of [320, 360, 1024])
      test(`at ${width} CSS px nothing past the right ` + "edge, nor past help's", async () => {
        await load(tab, site.url, {width, height: 740});
        await new Person(tab).do('a=999999', 'b=999999', 'c=999999', 'd=999999', 'calc');
        await openHelp(tab);
        assert.deepEqual(
          await tab.evaluate(() => {
            const [help, page] = [$('textBrowser'), document.documentElement];
            const edge = e =>
              (help.contains(e) && e !== help
                ? help.getBoundingClientRect().right - help.clientLeft
                : page.clientWidth) + 1;
            return [...document.querySelectorAll('body *')]
              .filter(e => e.getClientRects().length && e.getBoundingClientRect().right > edge(e))
              .map(e => e.id || e.tagName)
              .concat(
                help.scrollWidth > help.clientWidth ? ['help scrolls sideways'] : [],
                page.scrollWidth > page.clientWidth ? ['the page scrolls sideways'] : []
              );
          }),
          []
        );
      });

    test('under its security policy it calculates and shows help, and runs nothing help holds', async () => {
      await load(tab, site.url);
      await new Person(tab).do('a=8', 'b=2', 'c=1', 'd=5', 'calc');
      await openHelp(tab);
      assert.deepEqual(await tab.evaluate(() => [$('labelZ').textContent, window.violations]), [
        'Отвергается на уровне 0.05',
        []
      ]);
      await tab.evaluate(() => $('Dialog').close());
      site.helpPage = '<p><img src="nothing.png" onerror="ran = 1"><script>ran = 2</script>';
      await openHelp(tab);
      await tab.waitFor(() => $('textBrowser').querySelector('img').complete);
      site.helpPage = null;
      assert.equal(await tab.evaluate(() => window.ran ?? 'nothing'), 'nothing');
    });

    test('axe finds nothing and the borders stand out, light and dark, at 320 and 1024 CSS px', async () => {
      const dark = await open(engine, {dark: true});
      try {
        for (const shown of [tab, dark])
          for (const width of [320, 1024]) {
            await load(shown, site.url, {width, height: 740});
            await new Person(shown).do('a=8', 'b=2', 'c=1', 'd=5', 'calc');
            const result = await audit(shown);
            await openHelp(shown);
            const found = [result, await audit(shown), await lowContrasts(shown)];
            assert.deepEqual(found, [[], [], [shown === dark]], `${width} CSS px`);
          }
      } finally {
        await dark.close();
      }
    });

    test('opened again with its server stopped, it calculates', async () => {
      await load(tab, site.url);
      await tab.waitFor(() =>
        navigator.serviceWorker.ready.then(() => !!navigator.serviceWorker.controller)
      );
      await site.stop();
      await load(tab, site.url);
      await new Person(tab).do('a=8', 'b=2', 'c=1', 'd=5', 'calc');
      assert.equal(await tab.evaluate(() => $('labelZ').textContent), 'Отвергается на уровне 0.05');
    });
  });

// Where the controls' borders and the focus ring fall below WCAG's contrast (3:1) with what lies
// behind them, which axe does not weigh (its own is the text's); then whether the page is dark.
function lowContrasts(tab) {
  return tab.evaluate(() => {
    const luminance = colour =>
      colour
        .match(/[\d.]+/g)
        .slice(0, 3)
        .map(v => ((v /= 255) <= 0.04045 ? v / 12.92 : ((v + 0.055) / 1.055) ** 2.4))
        .reduce((sum, v, i) => sum + v * [0.2126, 0.7152, 0.0722][i], 0);
    const ratio = (a, b) =>
      (Math.max(luminance(a), luminance(b)) + 0.05) / (Math.min(luminance(a), luminance(b)) + 0.05);
    const behind = e => {
      for (; e; e = e.parentElement) {
        const colour = getComputedStyle(e).backgroundColor;
        if (!/, 0\)$|transparent/.test(colour)) return colour;
      }
      return getComputedStyle(document.documentElement).backgroundColor;
    };
    const probe = document.body.appendChild(document.createElement('i'));
    probe.style.color = getComputedStyle(document.documentElement).getPropertyValue('--focus');
    const found = [];
    const check = (what, a, b) =>
      ratio(a, b) < 3 && found.push(`${what}: ${a} on ${b}, ${ratio(a, b).toFixed(2)}`);
    for (const e of document.querySelectorAll('input, button:enabled')) {
      check(`border of ${e.id}`, getComputedStyle(e).borderTopColor, behind(e.parentElement));
      check(`focus ring of ${e.id}`, getComputedStyle(probe).color, behind(e.parentElement));
    }
    probe.remove();
    return [...found, matchMedia('(prefers-color-scheme: dark)').matches];
  });
}
