// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Stylelint's standard rules on the page's style sheet, but for these.
export default {
  extends: ['stylelint-config-standard'],
  rules: {
    // The ids are the object names of the window's form (ui/*.ui), which the checks share.
    'selector-id-pattern': null,
    // The sheet keeps related rules together; an empty line parts the groups.
    'rule-empty-line-before': null,
    'comment-empty-line-before': null,
    'at-rule-empty-line-before': null,
    'custom-property-empty-line-before': null,
    // Phones' browsers before 2023 (Safari 16.4) know no range syntax: the layout would be
    // the wide one on a narrow screen.
    'media-feature-range-notation': 'prefix',
    // It weighs selectors that never match the same element: a disabled button is never
    // :enabled, and help's links are not the footer's.
    'no-descending-specificity': null
  }
};
