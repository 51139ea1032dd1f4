// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// ESLint's recommended rules on the page's scripts, its service worker, its checks and these
// settings.
import js from '@eslint/js';
import globals from 'globals';

export default [
  js.configs.recommended,
  {files: ['web/*.js'], languageOptions: {globals: globals.browser}},
  // A classic script, as the page registers it.
  {
    files: ['dist/web/service-worker.js'],
    languageOptions: {sourceType: 'script', globals: globals.serviceworker}
  },
  // The checks run in Node and hand functions to the page, where $ finds an element by its id.
  {
    files: ['checks/web/*.mjs'],
    languageOptions: {globals: {...globals.node, ...globals.browser, $: 'readonly'}}
  }
];
