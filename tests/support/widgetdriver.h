#pragma once

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// Drives a window's widgets the way a person does, finding them by object name.
class WidgetDriver
{
public:
    explicit WidgetDriver(QWidget *window) : window(window) {}

    template <typename T = QWidget> T *find(const char *name) const
    {
        T *widget = window->findChild<T *>(QLatin1String(name));
        if (!widget)
            qFatal("no widget named %s", name);
        return widget;
    }
    QLineEdit *field(int index) const
    {
        static const char *const names[] = {"lineEditA", "lineEditB", "lineEditC", "lineEditD"};
        return find<QLineEdit>(names[index]);
    }
    QPushButton *calculateButton() const { return find<QPushButton>("pushButton"); }
    QPushButton *helpButton() const { return find<QPushButton>("pushButtonAbout"); }
    QString method() const { return find<QLabel>("labelM")->text(); }
    QString verdict() const { return find<QLabel>("labelZ")->text(); }

    // Types text key by key. QTest::keyClicks aborts on characters above U+00FF,
    // so anything beyond ASCII goes as a key event that carries the text.
    static void type(QWidget *widget, const QString &text)
    {
        for (const QChar ch : text) {
            if (ch.unicode() < 0x80) {
                QTest::keyClick(widget, ch.toLatin1());
                continue;
            }
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(widget, &press);
            QApplication::sendEvent(widget, &release);
        }
    }

    static void paste(QWidget *widget, const QString &text)
    {
        QApplication::clipboard()->setText(text);
        QTest::keySequence(widget, QKeySequence::Paste);
    }

    // Types the four counts, one field after another.
    void enterTable(const QStringList &texts) const
    {
        for (int i = 0; i < 4; ++i)
            type(field(i), texts.value(i));
    }

    void calculate() const { QTest::mouseClick(calculateButton(), Qt::LeftButton); }

private:
    QWidget *window;
};
