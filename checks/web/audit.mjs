// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// axe-core's rules of WCAG 2.2 A and AA and its best practices, run in the page as a tab shows it
// now (in WebKit's frame, the page's own document); the same script in every engine.
import {readFileSync} from 'node:fs';
import {createRequire} from 'node:module';

const source = readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const inject = new Function(source);
const OPTIONS = {
  runOnly: {
    type: 'tag',
    values: ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'wcag22aa', 'best-practice']
  },
  resultTypes: ['violations', 'incomplete']
};

// Gives each violation, and each check axe left to a person ("needs review"), as
// "rule: element".
export async function audit(tab) {
  if (!(await tab.evaluate(() => !!window.axe))) await tab.evaluate(inject);
  return tab.evaluate(
    options =>
      window.axe
        .run(document, options)
        .then(({violations, incomplete}) =>
          [...violations.map(r => ['', r]), ...incomplete.map(r => ['needs review: ', r])].flatMap(
            ([kind, rule]) => rule.nodes.map(node => `${kind}${rule.id}: ${node.target.join(' ')}`)
          )
        ),
    OPTIONS
  );
}
