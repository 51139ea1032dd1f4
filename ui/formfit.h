// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QRect>
#include <QSize>
#include <QString>

class QMainWindow;
class QWidget;

// A form drawn at fixed pixel positions holds its texts only at the font it was drawn
// for. These functions find how much such a form must grow to hold its texts at the
// font in use, and grow it in proportion, so that nothing moves relative to anything else.
namespace FormFit {

// A text and the widget that shows it.
using Text = QPair<QWidget *, QString>;

// The size a widget needs to show the text whole, by its own font, style, frame and
// margins: a label's or button's size hint, a group box's minimum size with the text as
// its title, and for a line edit the room its text needs within the frame and margins.
QSize neededSize(QWidget *widget, const QString &text);

// The smallest factor, never below 1, at which every widget, grown by it, holds its text.
double factorFor(const QList<Text> &texts);

// A window's geometry as it was drawn: its size and minimum size, and the geometry of every
// widget of its central widget.
struct Drawn
{
    QSize size, minimum;
    QList<QPair<QWidget *, QRect>> widgets;
};
Drawn drawn(QMainWindow *window);

// Gives the window and its widgets their drawn geometry multiplied by the factor, whatever
// geometry they have now.
void scale(QMainWindow *window, const Drawn &drawn, double factor);

} // namespace FormFit
