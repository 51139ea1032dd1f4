// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Serves the page and opens it in a real browser window for a screen reader, until ended;
// says "loaded" once the page is.
// usage: node open.mjs chromium|firefox PAGE_FOLDER
import {mkdirSync, mkdtempSync, rmSync, writeFileSync} from 'node:fs';
import {tmpdir} from 'node:os';
import path from 'node:path';
import {open} from './engines.mjs';
import {serve} from './server.mjs';

const [engine, folder] = process.argv.slice(2);
const site = await serve(folder);
// Chromium shows it as an app, with a profile that offers no translation; Firefox in a new tab.
const profile = mkdtempSync(path.join(tmpdir(), 'tabulon-browser-'));
mkdirSync(`${profile}/Default`);
writeFileSync(`${profile}/Default/Preferences`, JSON.stringify({translate: {enabled: false}}));
const tab = await open(engine, {
  headless: false,
  args:
    engine === 'chromium'
      ? ['--force-renderer-accessibility', '--window-size=1024,768', `--app=${site.url}`]
      : [],
  userDataDir: engine === 'chromium' ? profile : undefined
});
if (engine === 'firefox') await tab.page.goto(site.url);
await tab.waitFor(() => document.readyState === 'complete');
console.log('loaded');
const end = async () => {
  await tab.close();
  await site.stop();
  rmSync(profile, {recursive: true, force: true});
  process.exit(0);
};
process.on('SIGTERM', end);
process.on('SIGINT', end);
