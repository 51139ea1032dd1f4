// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// html-validate's recommended rules on the page and on help.
export default {
  root: true,
  extends: ['html-validate:recommended'],
  rules: {
    'doctype-style': ['error', {style: 'lowercase'}]
  }
};
