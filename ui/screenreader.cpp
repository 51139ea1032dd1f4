// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screenreader.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>

namespace {

#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
// The dynamic property, set in the form, that marks a label whose texts are announced.
constexpr char announcedProperty[] = "announced";

// Before Qt 6.8 there is no announcement event. A notification that is shown is spoken,
// so the label is presented as a notification named by its text, and shown anew for
// each text. Screen readers ignore the name changes of a plain label.
class NotificationLabel : public QAccessibleWidget
{
public:
    explicit NotificationLabel(QLabel *label) : QAccessibleWidget(label, QAccessible::Notification)
    {
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<QLabel *>(widget())->text()
                                      : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *notificationLabels(const QString &className, QObject *object)
{
    if (className == QLatin1String("QLabel") && object->property(announcedProperty).toBool())
        return new NotificationLabel(static_cast<QLabel *>(object));
    return nullptr;
}
#endif

// A line edit that gains the focus from the keyboard selects its text as it receives the
// focus event, before Qt tells screen readers of the new focus. Orca then hears first of
// a selection in an unannounced focused field, takes that field as its focus silently
// and never names it. So the field gains the focus as if by any other means, and its
// text is selected once Qt has told of the focus, by a call queued ahead of the repaint
// (which Qt posts at low priority), so that no frame shows the field unselected.
class SelectAfterFocus : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() != QEvent::FocusIn)
            return false;
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
            reason != Qt::ShortcutFocusReason)
            return false;
        auto *field = static_cast<QLineEdit *>(object);
        QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(field, &plain);
        QMetaObject::invokeMethod(
            field,
            [field, text = field->text()] {
                // Typing that came first wins; a field left meanwhile stays unselected.
                if (field->hasFocus() && field->text() == text && !field->hasSelectedText())
                    field->selectAll();
            },
            Qt::QueuedConnection);
        return true;
    }
};

} // namespace

void ScreenReader::prepareAnnouncements()
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    static const bool installed = [] {
        QAccessible::installFactory(notificationLabels);
        return true;
    }();
    Q_UNUSED(installed)
#endif
}

void ScreenReader::announce(const QList<QLabel *> &labels)
{
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
    for (QLabel *label : labels) {
        Q_ASSERT(label->property(announcedProperty).toBool());
        QAccessibleEvent shown(label, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
#else
    // One announcement: a screen reader may drop one that follows another at once.
    QStringList texts;
    for (const QLabel *label : labels)
        texts << label->text();
    QAccessibleAnnouncementEvent announcement(labels.first(), texts.join(QStringLiteral(". ")));
    QAccessible::updateAccessibility(&announcement);
#endif
}

void ScreenReader::selectAfterFocus(QLineEdit *field)
{
    field->installEventFilter(new SelectAfterFocus(field));
}
