// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

class QLabel;
class QLineEdit;

// What a screen reader needs beyond the accessibility events Qt sends by itself: the new
// result spoken when a calculation ends, and a field named as soon as Tab reaches it.
namespace ScreenReader {

// Lets labels marked "announced" in their form be announced. Call it before their
// accessible interfaces exist, that is before the form that makes them is set up.
void prepareAnnouncements();

// Has screen readers speak the labels' texts now, in order, without moving the focus.
void announce(const QList<QLabel *> &labels);

// Has the field, when Tab reaches it, select its text only after screen readers have
// heard that it has the focus, so that they name it.
void selectAfterFocus(QLineEdit *field);

} // namespace ScreenReader
