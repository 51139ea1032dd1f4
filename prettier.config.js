// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Prettier on the scripts and the style sheet, in the style they were written in. The HTML is
// html-validate's: Prettier would close void elements (`<meta />`), which its rules refuse.
export default {
  printWidth: 100,
  singleQuote: true,
  bracketSpacing: false,
  trailingComma: 'none',
  arrowParens: 'avoid',
  overrides: [{files: '*.css', options: {singleQuote: false}}]
};
