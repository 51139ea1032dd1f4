// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of tests/data/examples.tsv, and a person who does a row's steps in a tab: by
// keys, or on a phone (Chromium) by taps and an on-screen keyboard.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';

export const examples = kind =>
  readFileSync(new URL('../../tests/data/examples.tsv', import.meta.url), 'utf8')
    .split('\n')
    .map(line => line.split('\t'))
    .filter(fields => fields[0] === kind)
    .map(fields => fields.slice(1));

// Waits until the page has painted twice: what a key or tap started has run.
const settle = tab =>
  tab.evaluate(
    () =>
      new Promise(done =>
        requestAnimationFrame(() => setTimeout(() => requestAnimationFrame(() => setTimeout(done))))
      )
  );

// Opens the page and waits until a digit typed in field a stays there (then erases it). The
// checks find elements by $, as a browser's console does.
export async function load(tab, url, metrics = {}) {
  await tab.goto(url, metrics);
  await tab.evaluate(() => (window.$ = id => document.getElementById(id)));
  await tab.waitFor(
    () =>
      document.activeElement.id === 'lineEditA' &&
      document.execCommand('insertText', false, '1') &&
      document.activeElement.value === '1' &&
      document.execCommand('delete')
  );
}

export const openHelp = async tab => {
  await tab.evaluate(() => $('pushButtonAbout').click());
  await tab.waitFor(() => $('Dialog').open);
  await settle(tab);
};

// Does a keys row's steps and checks what the page shows, and that each press of "Расчет"
// showed that it ran, then was announced, each time differently (so that it is spoken again).
export async function keysRow(
  tab,
  url,
  [, steps, fieldA, enabled, method, verdict],
  {touch = false, metrics = {}} = {}
) {
  await load(tab, url, metrics);
  await tab.evaluate(() => {
    const seen = (window.seen = {down: [], announced: []});
    const [labels, button] = [[$('labelM'), $('labelZ')], $('pushButton')];
    new MutationObserver(
      () =>
        button.classList.contains('down') &&
        seen.down.push(...labels.map(label => label.textContent))
    ).observe($('centralWidget'), {subtree: true, childList: true, characterData: true});
    new MutationObserver(() => seen.announced.push($('announcement').textContent)).observe(
      $('announcement'),
      {childList: true, characterData: true, subtree: true}
    );
  });
  await new Person(tab, touch).do(...steps.split(' ').filter(Boolean));
  assert.deepEqual(
    await tab.evaluate(() => [
      $('lineEditA').value,
      $('pushButton').disabled ? '0' : '1',
      $('labelM').textContent,
      $('labelZ').textContent
    ]),
    [fieldA, enabled, method, verdict]
  );
  const presses = method && steps.endsWith('calc') ? steps.split('calc').length - 1 : 0;
  if (presses) {
    const {down, announced} = await tab.evaluate(() => window.seen);
    assert.ok(
      ['Ждите...', 'Идут вычисления'].every(text => down.includes(text)),
      String(down)
    );
    assert.equal(new Set(announced).size, presses, `announced ${announced}`);
    assert.equal(announced.at(-1).replace(/\u00a0$/, ''), `${method}. ${verdict}`);
  }
}

const ORDER = ['lineEditA', 'lineEditB', 'lineEditC', 'lineEditD', 'pushButton', 'pushButtonAbout'];
const focused = tab => tab.evaluate(() => document.activeElement.id);

export class Person {
  constructor(tab, touch = false) {
    Object.assign(this, {tab, touch});
  }

  // Puts the focus on an element as the person would, or gives false. Tab stays in the form:
  // out of the page, Firefox keeps the focus in its toolbar.
  async reach(id) {
    if (this.touch) await this.tab.page.tap(`#${id}`);
    let at = await focused(this.tab);
    const back = ORDER.indexOf(id) < ORDER.indexOf(at);
    for (let presses = 0; !this.touch && at !== id && presses < ORDER.length; presses++) {
      if (at === (back ? ORDER[0] : ORDER.at(-1))) return false;
      await this.tab.press(back ? 'Shift+Tab' : 'Tab');
      at = await focused(this.tab);
    }
    return at === id;
  }

  async do(...steps) {
    for (const step of steps) await this.step(step);
  }

  // "a=20" types 20 over field a's text, "a^1,000" pastes it, "a<" erases the last
  // character, "a~800" sets the text and "a+x-" inserts x- at its start as the browser does
  // for an assistive technology (the value, then an input event), "calc" presses "Расчет",
  // "slot" submits the form as the button would.
  async step(step) {
    const tab = this.tab;
    if (step === 'calc' || step === 'slot') {
      // The announcement, always a change, tells that the calculation has ended.
      const before = await tab.evaluate(() => $('announcement').textContent);
      const enabled = step === 'slot' || (await tab.evaluate(() => !$('pushButton').disabled));
      if (step === 'slot') await tab.evaluate(() => $('centralWidget').requestSubmit());
      else if (this.touch) await tab.page.tap('#pushButton');
      else if (await this.reach('pushButton')) await tab.press(' ');
      if (enabled) await tab.waitFor(was => $('announcement').textContent !== was, before);
    } else if (step[1] === '~' || step[1] === '+') {
      await tab.evaluate(
        (id, text, insert) => {
          $(id).value = insert ? text + $(id).value : text;
          $(id).dispatchEvent(new Event('input', {bubbles: true}));
        },
        `lineEdit${step[0].toUpperCase()}`,
        step.slice(2),
        step[1] === '+'
      );
    } else {
      const id = `lineEdit${step[0].toUpperCase()}`;
      assert.ok(await this.reach(id), `${id} cannot be reached`);
      const text = step.slice(2);
      if (step[1] === '<') {
        await tab.evaluate(() => document.activeElement.setSelectionRange(99, 99));
        await tab.press('Backspace');
      } else {
        if (this.touch) await tab.evaluate(() => document.activeElement.select());
        else await tab.press('Control+a');
        if (step[1] === '^') {
          await tab.evaluate(text => navigator.clipboard.writeText(text), text);
          await tab.press('Control+v');
        } else if (this.touch) {
          for (const key of text) await tab.page.keyboard.sendCharacter(key);
        } else {
          await tab.type(text);
        }
      }
    }
    await settle(tab);
  }
}
