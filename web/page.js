// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The calculator's form, as the desktop window behaves: the fields take only what its
// validator takes, every edit clears the result, "Расчет" is enabled for a usable table
// alone, and a press shows that the tests run, then the method and its verdict. Help
// shows the help page in a dialog.
import {loadEngine} from './engine.js';

const $ = id => document.getElementById(id);
const form = $('centralWidget');
const fields = ['lineEditA', 'lineEditB', 'lineEditC', 'lineEditD'].map($);
const calculate = $('pushButton');
const [method, verdict] = [$('labelM'), $('labelZ')];

const engine = fetch('engine.wasm')
  .then(response => (response.ok ? response.arrayBuffer() : Promise.reject(response.statusText)))
  .then(loadEngine);
// The engine's own rules: the largest count, and the tables it tests. Until the engine is
// there, the fields take nothing.
let rules;
engine.then(
  loaded => (rules = loaded),
  error => {
    $('problem').textContent = 'Не удалось загрузить вычислительную часть калькулятора: ' + error;
    $('problem').hidden = false;
  }
);
if ('serviceWorker' in navigator)
  navigator.serviceWorker.register('service-worker.js').catch(() => {});

// The counts a, b, c, d from the last edit that left all four fields filled.
let cells = [0, 0, 0, 0];

// What the window's validator takes: a whole number from 0 to the largest count in ASCII
// digits, with an optional "+" before it, or the way to one: an empty field or a lone "+".
const acceptable = text =>
  /^\+?[0-9]*$/.test(text) && Number(text.replace('+', '')) <= (rules?.maxCount ?? -1);

// Any edit makes the result stale; "Расчет" needs four filled fields and a usable table.
function testInput() {
  method.textContent = verdict.textContent = '';
  if (fields.some(field => field.value === '')) {
    calculate.disabled = true;
    return;
  }
  cells = fields.map(field => parseInt(field.value, 10) || 0); // a lone "+" counts as 0
  calculate.disabled = !rules.usable(cells);
}

fields.forEach((field, i) => {
  // An edit the validator refuses, typed, pasted or dropped, is undone: nothing changes.
  let kept = {value: '', start: 0, end: 0};
  const keep = () =>
    (kept = {value: field.value, start: field.selectionStart, end: field.selectionEnd});
  field.addEventListener('beforeinput', keep);
  field.addEventListener('input', () => {
    if (!acceptable(field.value)) {
      field.value = kept.value;
      field.setSelectionRange(kept.start, kept.end);
      return;
    }
    keep();
    testInput();
  });
  // Enter moves on, as a phone's "next" key does: to the next field, from d to "Расчет".
  field.addEventListener('keydown', event => {
    if (event.key !== 'Enter') return;
    event.preventDefault();
    const next = fields[i + 1] ?? calculate;
    if (!next.disabled) next.focus();
  });
});

// Resolves once the browser has painted what the page shows now.
const painted = () => new Promise(resolve => requestAnimationFrame(() => setTimeout(resolve)));

form.addEventListener('submit', async event => {
  event.preventDefault();
  const {waiting, fourfold} = await engine;
  calculate.classList.add('down');
  [method.textContent, verdict.textContent] = waiting;
  await painted();
  // An edit meanwhile cleared the texts and made the counts' result stale.
  if (method.textContent === waiting[0]) {
    const result = fourfold(cells);
    method.textContent = result.method;
    verdict.textContent = result.verdicts[result.chiSquare ? 0 : 1];
    announce(`${method.textContent}. ${verdict.textContent}`);
  }
  calculate.classList.remove('down');
});

// Has screen readers speak the text. A live region speaks a change only: the same text
// again comes with a final no-break space, or without it.
function announce(text) {
  const region = $('announcement');
  region.textContent = region.textContent === text ? text + '\u00a0' : text;
}

// Help: the page as it is at each opening, in a modal dialog, which gives the focus to its
// text; its links open beside the calculator. Where the page cannot be read, the dialog is
// empty. Nothing that the page holds runs: the page's security policy allows no script
// or handler but the page's own files.
const help = $('Dialog');
const helpButton = $('pushButtonAbout');
helpButton.addEventListener('click', async () => {
  const page = await fetch('readme.html', {cache: 'no-cache'})
    .then(response => (response.ok ? response.text() : ''))
    .catch(() => '');
  const body = new DOMParser().parseFromString(page, 'text/html').body;
  for (const link of body.querySelectorAll('a[href]'))
    Object.assign(link, {target: '_blank', rel: 'noopener'});
  // The heading apart from the rest, which is one group: Firefox gives the heading's place as
  // reaching to the end of what follows it, and Orca takes what lies there as on the
  // heading's line, so that the first Down would skip the first line of a short paragraph.
  const rest = document.createElement('div');
  rest.setAttribute('role', 'group');
  rest.append(...body.childNodes);
  $('textBrowser').replaceChildren(...[rest.firstElementChild, rest].filter(Boolean));
  $('textBrowser').scrollTop = 0;
  // The last result, heard already, is not spoken again when the page takes input again.
  $('announcement').textContent = '';
  help.showModal();
});
help.addEventListener('close', () => helpButton.focus());
