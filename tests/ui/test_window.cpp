#include "dialog.h"
#include "mainwindow.h"
#include "support.h"
#include "ui_mainwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QTransform>

#include <memory>

// The main window and its help, driven through their widgets as a person does.
class TestWindow final : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> window;

    QWidget *find(const QString &name) const { return window->findChild<QWidget *>(name); }
    QLineEdit *field(int i) const { return window->findChildren<QLineEdit *>().at(i); }
    QWidget *button() const { return find("pushButton"); }
    static QString shown(QObject *o)
    {
        return o->property("title").toString() + o->property("text").toString();
    }
    // Whether the widget shows its text whole: a label or button within its size hint, a
    // group box within its minimum size, and a line edit unscrolled, its text starting
    // where it does with the cursor at the start even while the cursor is at the end
    // (QLineEdit scrolls when it paints).
    static bool showsWhole(QWidget *w)
    {
        auto *edit = qobject_cast<QLineEdit *>(w);
        if (!edit) {
            const QSize needed = w->inherits("QGroupBox") ? w->minimumSizeHint() : w->sizeHint();
            return needed.boundedTo(w->size()) == needed;
        }
        edit->home(false);
        edit->repaint();
        const QVariant start = edit->inputMethodQuery(Qt::ImCursorRectangle);
        edit->end(false);
        edit->repaint();
        edit->home(false);
        return edit->inputMethodQuery(Qt::ImCursorRectangle) == start;
    }
    QStringList result() const { return {shown(find("labelM")), shown(find("labelZ"))}; }
    void calculate(const QStringList &counts = {}) const
    {
        for (int i = 0; i < counts.size(); ++i) {
            field(i)->selectAll();
            QTest::keyClicks(field(i), counts[i]);
        }
        QTest::mouseClick(button(), Qt::LeftButton);
    }

    // Records the text of every paint of the labels, and whether the button was down then.
    bool eventFilter(QObject *label, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted << shown(label) + (button()->property("down").toBool() ? ", pressed" : "");
        return false;
    }
    QStringList painted;

    // What a test may change for the whole application, restored after each.
    const QLocale startLocale;
    const QFont startFont = QApplication::font();

    // What the window shows for 8 2 1 5.
    const QStringList fisherAt005 = {"Точный метод Фишера", "Отвергается на уровне 0.05"};

private slots:
    void initTestCase() { MessageCodec::installCp1251(); }
    void init()
    {
        // Under a locale whose group separator, the full stop, the fields must refuse.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup()
    {
        QLocale::setDefault(startLocale);
        QApplication::setFont(startFont);
    }

    void freshWindow()
    {
        QStringList texts{window->windowTitle()};
        for (QWidget *widget : window->centralWidget()->findChildren<QWidget *>())
            texts << shown(widget) + (widget->isEnabled() ? "" : " (disabled)");
        QCOMPARE(texts, QStringList({"Tabulon 2x2", "Введите целые числа", "", "", "", "",
                                     "Расчет (disabled)", "Нулевая гипотеза", "", "Метод", "",
                                     "Справка..."}));
        QCOMPARE(QApplication::focusWidget(), field(0));
        // The icon is the red cross on white from the resources.
        const QImage icon(QStringLiteral(":/icon.bmp"));
        QCOMPARE(icon.pixel(14, 14), qRgb(255, 0, 0));
        QCOMPARE(icon.pixel(3, 3), qRgb(255, 255, 255));
        QCOMPARE(window->windowIcon().pixmap(30).toImage().convertToFormat(icon.format()), icon);
    }

    // A screen reader tells the fields apart by name: the cell, its row and column as
    // shown; and it names the help text.
    void accessibleNames_data()
    {
        QTest::addColumn<QString>("widget");
        for (const char *name : {"lineEditA", "lineEditB", "lineEditC", "lineEditD", "textBrowser"})
            QTest::newRow(name) << name;
    }
    void accessibleNames()
    {
        QFETCH(QString, widget);
        auto *edit = qobject_cast<QLineEdit *>(find(widget));
        if (!edit) {
            const Dialog help(window.get());
            QCOMPARE(QAccessible::queryAccessibleInterface(help.findChild<QWidget *>(widget))
                         ->text(QAccessible::Name),
                     QStringLiteral("Справка"));
            return;
        }
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(edit);
        const QString expected = QStringLiteral("%1, строка %2, столбец %3")
                                     .arg(widget.back().toLower())
                                     .arg(1 + (edit->y() > field(0)->y()))
                                     .arg(1 + (edit->x() > field(0)->x()));
        QCOMPARE(reader->text(QAccessible::Name), expected);
        // The description tells the range a count may take.
        QVERIFY(
            reader->text(QAccessible::Description).contains(QString::number(StatEngine::maxCount)));
    }

    void inputAndResult_data() { addExamples("input"); }
    void inputAndResult()
    {
        QFETCH(QStringList, f);
        const bool pasted = f[0] == QLatin1String("pasted");
        for (int i = pasted ? 1 : 0; i < 4; ++i)
            QTest::keyClicks(field(i), f[i + 1]);
        QApplication::clipboard()->setText(f[1]);
        if (pasted)
            QTest::keySequence(field(0), QKeySequence::Paste);
        QCOMPARE(field(0)->text(), f[5]);
        QCOMPARE(button()->isEnabled(), !f[6].isEmpty());

        // While the tests run, the button shows pressed and both labels say that they run.
        find("labelM")->installEventFilter(this);
        find("labelZ")->installEventFilter(this);
        for (int press = 0; press < 2 && button()->isEnabled(); ++press) {
            painted.clear();
            calculate();
            QCOMPARE(result(), f.mid(6));
            QVERIFY2(painted.contains("Ждите..., pressed"), qPrintable(painted.join(" | ")));
            QVERIFY2(painted.contains("Идут вычисления, pressed"), qPrintable(painted.join(" | ")));
            QVERIFY(!button()->property("down").toBool());
            QVERIFY(button()->isEnabled());
        }
    }

    // What a screen reader can know: a field reached by the keyboard selects its text only
    // after the key that moved the focus is handled, and so after Qt has announced the new
    // focus; the result labels name their texts as notifications (announced on Qt 6.8).
    void screenReaderHears_data()
    {
        QTest::addColumn<QStringList>("counts"); // typed into the fields from a on
        QTest::addColumn<int>("key");            // then pressed, or 0 for "Расчет"
        QTest::addColumn<QStringList>("heard");
        const QStringList reached = {"focus", "key handled", "selection"};
        QTest::newRow("Tab to an empty field") << QStringList{"30"} << int(Qt::Key_Tab) << reached;
        QTest::newRow("Shift+Tab to a filled field")
            << QStringList{"30", "20"} << int(Qt::Key_Backtab) << reached;
        QTest::newRow("Yates") << QStringList{"30", "20", "20", "30"} << 0
                               << QStringList{"Хи-квадрат с поправкой Йейтса",
                                              "Отвергается на уровне 0.10"};
        QTest::newRow("Fisher") << QStringList{"8", "2", "1", "5"} << 0 << fisherAt005;
    }
    void screenReaderHears()
    {
        QFETCH(QStringList, counts);
        QFETCH(int, key);
        QFETCH(QStringList, heard);
        for (int i = 0; i < counts.size(); ++i) {
            field(i)->setFocus();
            QTest::keyClicks(field(i), counts[i]);
        }
        QStringList told;
        if (!key) {
            calculate();
            for (const char *label : {"labelM", "labelZ"}) {
                QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(find(label));
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
                QCOMPARE(reader->role(), QAccessible::Notification);
#endif
                told << reader->text(QAccessible::Name);
            }
            QCOMPARE(told, heard);
            return;
        }
        QLineEdit *reached = field(int(counts.size()) - (key == Qt::Key_Backtab ? 2 : 0));
        const QObject listening; // ends both connections with this test
        connect(qApp, &QApplication::focusChanged, &listening, [&told] { told << "focus"; });
        connect(reached, &QLineEdit::selectionChanged, &listening,
                [&told] { told << "selection"; });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        told << "key handled";
        QCoreApplication::processEvents();
        QCOMPARE(told, heard);
        // The field still selects its whole text, for typing over.
        QCOMPARE(QApplication::focusWidget(), reached);
        QCOMPARE(reached->selectedText(), reached->text());
    }

    void editsClearTheResult()
    {
        // Any edit clears the result, emptying a field too; an empty field keeps the counts.
        for (int i = 0; i < 4; ++i) {
            calculate({"8", "2", "1", "5"});
            QTest::keyClick(field(i), '0');
            QCOMPARE(result(), QStringList({"", ""}));
            QVERIFY(button()->isEnabled());
            QTest::keyClick(field(i), Qt::Key_Backspace);
            calculate();
            QTest::keyClick(field(i), Qt::Key_Backspace);
            QCOMPARE(result(), QStringList({"", ""}));
            QVERIFY(!button()->isEnabled());
            QVERIFY(QMetaObject::invokeMethod(window.get(), "slotCalc"));
            QCOMPARE(result(), fisherAt005);
        }
    }

    void helpReadsThePageAtEveryOpening()
    {
        // Each opening reads readme.html in the working directory afresh: once it is gone,
        // help opens empty (and Qt warns that it found no document).
        calculate({"8", "2", "1", "5"});
        const QTemporaryDir scratch;
        const auto back = qScopeGuard([home = QDir::currentPath()] { QDir::setCurrent(home); });
        QVERIFY(QDir::setCurrent(scratch.path()));
        QStringList seen;
        for (const QByteArray page : {"a page", ""}) {
            QFile file(QStringLiteral("readme.html"));
            QVERIFY(page.isEmpty()
                        ? file.remove()
                        : file.open(QIODevice::WriteOnly) && file.write(page) && file.flush());
            QTimer::singleShot(0, window.get(), [&seen] {
                auto *browser = QApplication::activeModalWidget()->findChild<QTextBrowser *>();
                // The arrow keys move a caret through the text, which screen readers follow.
                QTest::keyClick(browser, Qt::Key_Right);
                seen << QStringLiteral("%1: %2, +%3 pt, external links %4, caret at %5")
                            .arg(browser->window()->windowTitle(), browser->toPlainText())
                            .arg(browser->font().pointSize() - QApplication::font().pointSize())
                            .arg(browser->openExternalLinks())
                            .arg(browser->textCursor().position());
                auto *buttons = browser->window()->findChild<QDialogButtonBox *>();
                QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
            });
            QTest::mouseClick(find("pushButtonAbout"), Qt::LeftButton);
        }
        const QString opened =
            QStringLiteral("Справка Tabulon 2x2: %1, +5 pt, external links 1, caret at %2");
        QCOMPARE(seen, QStringList({opened.arg("a page").arg(1), opened.arg("").arg(0)}));
        // Help changes nothing in the window and leaves no dialog behind.
        QCOMPARE(result(), fisherAt005);
        QVERIFY(window->findChildren<QTextBrowser *>().isEmpty());
    }

    void textsFitAtEveryFont_data()
    {
        addExamples("font");
    }
    void textsFitAtEveryFont()
    {
        QFETCH(QStringList, f);
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), f[0].toInt()));
        init();
        // The window is the form as drawn grown by one factor, at 8 pt and below by none.
        QMainWindow drawn;
        Ui::MainWindow form;
        form.setupUi(&drawn);
        drawn.show(); // lays out the central widget, as large as the window
        const double factor = double(window->width()) / drawn.width();
        QCOMPARE(factor == 1.0, f[0].toInt() <= 8);
        // Grown as the window grows its form, each position and length rounded on its own.
        const QTransform grown = QTransform::fromScale(factor, factor);
        const auto off = [](QRect a, QRect b) {
            return (a.topLeft() - b.topLeft()).manhattanLength() +
                   (a.bottomRight() - b.bottomRight()).manhattanLength();
        };
        const QRect minimum(QPoint(), drawn.minimumSize());
        QVERIFY(off(grown.mapRect(minimum), QRect(QPoint(), window->minimumSize())) <= 2);

        // With the longest method name and each verdict, and with the largest counts, every
        // text shows whole; and the form grew no more than the longest method name needs.
        for (const char *table :
             {"5 5 5 5", "30 20 20 30", "20 10 10 20", "1 9 11 3", "999999 999999 999999 999999"}) {
            calculate(QString(table).split(' '));
            for (QWidget *d : drawn.findChildren<QWidget *>()) {
                QWidget *w = find(d->objectName());
                const QString where = d->objectName() + " at " + table;
                QVERIFY2(showsWhole(w), qPrintable(where));
                QVERIFY2(off(grown.mapRect(d->geometry()), w->geometry()) <= 4 * (factor > 1),
                         qPrintable(where));
            }
        }
        // Some text binds: a label or button at most 1 px wider than its size hint, or a
        // field that scrolls once 2 px narrower (which text binds depends on the font).
        const auto tight = [](QWidget *w) {
            auto *edit = qobject_cast<QLineEdit *>(w);
            if (!edit)
                return !w->inherits("QGroupBox") && w->width() <= w->sizeHint().width() + 1;
            edit->resize(edit->width() - 2, edit->height());
            const bool scrolls = !showsWhole(edit);
            edit->resize(edit->width() + 2, edit->height());
            return scrolls;
        };
        const auto widgets = window->centralWidget()->findChildren<QWidget *>();
        QVERIFY(factor == 1.0 || std::any_of(widgets.begin(), widgets.end(), tight));
    }
};

QTEST_MAIN(TestWindow)
#include "test_window.moc"
