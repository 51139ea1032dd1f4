// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The rows of tests/data/examples.tsv, and a person who does the steps of a keys row in a
// tab: by keys, or on a phone (Chromium) by taps and an on-screen keyboard.
import assert from 'node:assert/strict';
import {readFileSync} from 'node:fs';

const EXAMPLES = new URL('../../tests/data/examples.tsv', import.meta.url);

// The rows of one kind: the row's name, then its fields.
export const examples = kind => readFileSync(EXAMPLES, 'utf8').split('\n')
  .map(line => line.split('\t')).filter(fields => fields[0] === kind)
  .map(fields => fields.slice(1));

const WAITING = ['Ждите...', 'Идут вычисления'];

// Opens the page and waits until it takes input: a digit typed in field a, which has the
// focus, stays there (and is erased again).
export async function load(tab, url, metrics = {}) {
  await tab.goto(url, metrics);
  await tab.waitFor(() => {
    const field = document.getElementById('lineEditA');
    if (document.activeElement !== field || !document.execCommand('insertText', false, '1'))
      return false;
    return field.value === '1' && document.execCommand('delete');
  });
}

// What a keys row shows once its steps are done, and what it should.
export async function keysRow(tab, url, [, steps, fieldA, enabled, method, verdict],
                              {touch = false, metrics = {}} = {}) {
  await load(tab, url, metrics);
  await tab.evaluate(record);
  const person = new Person(tab, touch);
  for (const step of steps.split(' ').filter(Boolean)) await person.step(step);
  const shown = await tab.evaluate(() => {
    const $ = id => document.getElementById(id);
    return [$('lineEditA').value, $('pushButton').disabled ? '0' : '1',
            $('labelM').textContent, $('labelZ').textContent];
  });
  assert.deepEqual(shown, [fieldA, enabled, method, verdict]);
  const presses = method && steps.endsWith('calc') ? steps.split(' ').filter(s => s === 'calc')
    .length : 0;
  if (presses) {
    const {down, announced} = await tab.evaluate(() => window.seen);
    assert.ok(WAITING.every(text => down.includes(text)), `showed ${down} while it ran`);
    // Each press is announced, each time differently, so that it is spoken again.
    assert.equal(announced.length, presses, `announced ${announced}`);
    assert.equal(announced.at(-1).replace(/\u00a0$/, ''), `${method}. ${verdict}`);
    assert.equal(new Set(announced).size, presses, `announced ${announced}`);
  }
}

// Records, in the page, what the result labels showed while "Расчет" was down, and each
// text the live region was given.
export function record() {
  window.seen = {down: [], announced: []};
  const labels = ['labelM', 'labelZ'].map(id => document.getElementById(id));
  const button = document.getElementById('pushButton');
  new MutationObserver(() => {
    if (button.classList.contains('down'))
      window.seen.down.push(...labels.map(label => label.textContent));
  }).observe(document.getElementById('centralWidget'),
             {subtree: true, childList: true, characterData: true});
  const region = document.getElementById('announcement');
  new MutationObserver(() => window.seen.announced.push(region.textContent))
    .observe(region, {childList: true, characterData: true, subtree: true});
}

// Waits until the page has painted twice: what a key or tap started has run.
export const settle = tab => tab.evaluate(() => new Promise(resolve =>
  requestAnimationFrame(() => setTimeout(() => requestAnimationFrame(() => setTimeout(resolve))))));

// The page's controls in the order Tab goes through them.
const ORDER = ['lineEditA', 'lineEditB', 'lineEditC', 'lineEditD', 'pushButton', 'pushButtonAbout'];
const focused = tab => tab.evaluate(() => document.activeElement.id);

export class Person {
  constructor(tab, touch = false) {
    Object.assign(this, {tab, touch});
  }

  // Puts the focus on an element, as the person would; false where it cannot.
  async reach(id) {
    if (this.touch) {
      await this.tab.page.tap(`#${id}`);
      return (await focused(this.tab)) === id;
    }
    // Tab and Shift+Tab stay in the form: out of the page, Firefox gives the focus to its
    // own toolbar and keeps it there.
    const ends = ['lineEditA', 'pushButtonAbout'];
    let at = await focused(this.tab);
    const back = ORDER.indexOf(id) < ORDER.indexOf(at);
    for (let presses = 0; at !== id && presses < ORDER.length; presses++) {
      if (ends[back ? 0 : 1] === at) return false;
      await this.tab.press(back ? 'Shift+Tab' : 'Tab');
      at = await focused(this.tab);
    }
    return at === id;
  }

  // One step of a keys row: "a=20" types 20 over field a's text, "a^1,000" pastes 1,000
  // over it, "a<" erases its last character, "calc" presses "Расчет" (a disabled button
  // takes no tap, and Tab does not reach it), "slot" submits the form as the button would.
  async step(step) {
    const tab = this.tab;
    if (step === 'calc' || step === 'slot') {
      // What the calculation announces, always a change, tells that it has ended.
      const before = await tab.evaluate(() =>
        document.getElementById('announcement').textContent);
      const enabled = await tab.evaluate(() => !document.getElementById('pushButton').disabled);
      if (step === 'slot')
        await tab.evaluate(() => document.getElementById('centralWidget').requestSubmit());
      else if (this.touch) await tab.page.tap('#pushButton');
      else if (await this.reach('pushButton')) await tab.press(' ');
      if (enabled || step === 'slot')
        await tab.waitFor(before => document.getElementById('announcement').textContent !==
                          before, before);
    } else {
      const id = `lineEdit${step[0].toUpperCase()}`;
      if (!(await this.reach(id))) throw new Error(`${id} cannot be reached`);
      if (step[1] === '<') {
        await tab.evaluate(() => document.activeElement.setSelectionRange(99, 99));
        await tab.press('Backspace');
      } else {
        // Over the field's text: selected with a long press, or by Ctrl+A.
        if (this.touch) await tab.evaluate(() => document.activeElement.select());
        else await tab.press('Control+a');
        if (step[1] === '^') {
          await tab.evaluate(text => navigator.clipboard.writeText(text), step.slice(2));
          await tab.press('Control+v');
        } else if (this.touch) {
          // An on-screen keyboard commits each key as it is tapped.
          const cdp = await tab.page.createCDPSession();
          for (const text of step.slice(2)) await cdp.send('Input.insertText', {text});
          await cdp.detach();
        } else {
          await tab.type(step.slice(2));
        }
      }
    }
    await settle(tab);
  }
}
