// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "formfit.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace {

// Reaches QLineEdit's protected initStyleOption, so the style is asked about the very
// option the line edit paints with.
struct LineEditOption : QLineEdit
{
    using QLineEdit::initStyleOption;
};

// Two numbers copied from Qt's own QLineEdit (6.4), to re-check on a Qt update: the
// horizontal margin of 2 px it keeps between its text and each side of its contents
// (QLineEditPrivate::horizontalMargin), and the 1 px it adds to the text's width for the
// cursor before deciding to scroll (QLineEdit::paintEvent).
constexpr int lineEditTextMargin = 2;
constexpr int lineEditCursorWidth = 1;

QSize lineEditNeeds(const QLineEdit *edit, const QString &text)
{
    QStyleOptionFrame option;
    (edit->*&LineEditOption::initStyleOption)(&option);
    const QRect room = edit->style()
                           ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                           .marginsRemoved(edit->textMargins())
                           .adjusted(lineEditTextMargin, 0, -lineEditTextMargin, 0);
    // The text stays unscrolled while its advance and a pixel for the cursor fit the room.
    const int width = edit->fontMetrics().horizontalAdvance(text) + lineEditCursorWidth +
                      edit->width() - room.width();
    return {width, edit->minimumSizeHint().height()};
}

// Shows the text in the widget just long enough to ask for the size it needs.
template <typename Widget, typename Text, typename SetText, typename Measure>
QSize measureWith(Widget *widget, const QString &text, Text get, SetText set, Measure measure)
{
    const QString shown = (widget->*get)();
    (widget->*set)(text);
    const QSize size = (widget->*measure)();
    (widget->*set)(shown);
    return size;
}

} // namespace

namespace FormFit {

QSize neededSize(QWidget *widget, const QString &text)
{
    // The font and style are final only once the widget is polished.
    widget->ensurePolished();
    if (auto *label = qobject_cast<QLabel *>(widget))
        return measureWith(label, text, &QLabel::text, &QLabel::setText, &QLabel::sizeHint);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        return measureWith(button, text, &QAbstractButton::text, &QAbstractButton::setText,
                           &QAbstractButton::sizeHint);
    if (auto *group = qobject_cast<QGroupBox *>(widget))
        return measureWith(group, text, &QGroupBox::title, &QGroupBox::setTitle,
                           &QGroupBox::minimumSizeHint);
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return lineEditNeeds(edit, text);
    return widget->sizeHint();
}

double factorFor(const QList<Text> &texts)
{
    double factor = 1.0;
    for (const auto &[widget, text] : texts) {
        const QSize needed = neededSize(widget, text);
        factor = std::max({factor, double(needed.width()) / widget->width(),
                           double(needed.height()) / widget->height()});
    }
    return factor;
}

Drawn drawn(QMainWindow *window)
{
    Drawn form{window->size(), window->minimumSize(), {}};
    const auto children = window->centralWidget()->findChildren<QWidget *>();
    for (QWidget *child : children)
        form.widgets.append({child, child->geometry()});
    return form;
}

void scale(QMainWindow *window, const Drawn &drawn, double factor)
{
    const auto scaled = [factor](int length) { return qRound(length * factor); };
    for (const auto &[child, r] : drawn.widgets)
        child->setGeometry(scaled(r.x()), scaled(r.y()), scaled(r.width()), scaled(r.height()));
    window->setMinimumSize(scaled(drawn.minimum.width()), scaled(drawn.minimum.height()));
    window->resize(scaled(drawn.size.width()), scaled(drawn.size.height()));
}

} // namespace FormFit
