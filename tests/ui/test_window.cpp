// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog.h"
#include "mainwindow.h"
#include "support.h"
#include "ui_mainwindow.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QRegularExpression>
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
    QStringList painted; // the labels' texts at each paint, and whether the button was down

    QWidget *find(const QString &name) const { return window->findChild<QWidget *>(name); }
    QLineEdit *field(QChar cell) const
    {
        return window->findChild<QLineEdit *>(QStringLiteral("lineEdit") + cell.toUpper());
    }

    // Steps as the keys rows of examples.tsv write them.
    void run(const QString &steps)
    {
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            painted.clear();
            if (step == QLatin1String("calc")) {
                QTest::mouseClick(find("pushButton"), Qt::LeftButton);
            } else if (step == QLatin1String("slot")) {
                QVERIFY(QMetaObject::invokeMethod(window.get(), "slotCalc"));
            } else if (step[1] == '<') {
                QTest::keyClick(field(step[0]), Qt::Key_Backspace);
            } else if (step[1] == '~' || step[1] == '+') {
                // As voice control or a screen reader edits: through the field's
                // accessibility interface (AT-SPI's and UI Automation's calls reach it).
                QAccessibleInterface *edit = QAccessible::queryAccessibleInterface(field(step[0]));
                if (step[1] == '~')
                    edit->setText(QAccessible::Value, step.mid(2));
                else
                    edit->editableTextInterface()->insertText(0, step.mid(2));
            } else if (field(step[0])->selectAll(); step[1] == '^') {
                QApplication::clipboard()->setText(step.mid(2));
                QTest::keySequence(field(step[0]), QKeySequence::Paste);
            } else {
                QTest::keyClicks(field(step[0]), step.mid(2));
            }
        }
    }

    bool eventFilter(QObject *label, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && find("pushButton")->property("down").toBool())
            painted << label->property("text").toString();
        return false;
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

    // What a test may change for the whole application, restored after each.
    const QLocale startLocale;
    const QFont startFont = QApplication::font();

private slots:
    void initTestCase() { MessageCodec::installCp1251(); }
    void init()
    {
        // Under a locale whose group separator, the full stop, the fields must refuse.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        find("labelM")->installEventFilter(this);
        find("labelZ")->installEventFilter(this);
    }
    void cleanup()
    {
        QLocale::setDefault(startLocale);
        QApplication::setFont(startFont);
    }

    void keys_data() { addExamples("keys"); }
    void keys()
    {
        QFETCH(QStringList, f);
        run(f[0]);
        QCOMPARE(field('a')->text(), f[1]);
        QCOMPARE(find("pushButton")->isEnabled(), f[2] == QLatin1String("1"));
        QCOMPARE(find("labelM")->property("text").toString(), f[3]);
        QCOMPARE(find("labelZ")->property("text").toString(), f[4]);
        // A press shows at once, with the button down, that the tests run, and releases it.
        if (f[0].endsWith(QLatin1String("calc")) && !f[3].isEmpty())
            QVERIFY2(painted.contains("Ждите...") && painted.contains("Идут вычисления"),
                     qPrintable(painted.join(" | ")));
        QVERIFY(!find("pushButton")->property("down").toBool());
    }

    void texts_data() { addExamples("text"); }
    void textsFitAtEveryFont_data() { addExamples("font"); }
    void texts()
    {
        QFETCH(QStringList, f);
        Dialog help(window.get());
        QObject *o = window->objectName() == f[0] ? window.get() : find(f[0]);
        o = o ? o : help.objectName() == f[0] ? &help : help.findChild<QObject *>(f[0]);
        QCOMPARE(o->property(qPrintable(f[1])).toString(), f[2]);
    }

    void startsInFieldAWithTheRedCross()
    {
        QCOMPARE(QApplication::focusWidget(), field('a'));
        // The icon the window shows, not the file it comes from: a window without one gives
        // a null image.
        const QImage icon = window->windowIcon().pixmap(30).toImage();
        QCOMPARE(icon.size(), QSize(30, 30));
        QCOMPARE(QList<QRgb>({icon.pixel(14, 14), icon.pixel(0, 0), icon.pixel(3, 3)}),
                 QList<QRgb>({qRgb(255, 0, 0), qRgb(255, 255, 255), qRgb(255, 255, 255)}));
    }

    // What Orca hears, checked by its own check, hangs on what a unit test sees sooner: below
    // Qt 6.8 the result labels are notifications named by their texts; and a field reached
    // by Tab selects its text only after the key is handled, and so after Qt has announced
    // the new focus (Tab from a to b, and Shift+Tab back, to fields that hold counts).
    void screenReaderOrder()
    {
        run("a=30 b=20 c=20 d=30 calc");
#if QT_VERSION < QT_VERSION_CHECK(6, 8, 0)
        for (const char *label : {"labelM", "labelZ"}) {
            QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(find(label));
            QCOMPARE(reader->role(), QAccessible::Notification);
            QCOMPARE(reader->text(QAccessible::Name), find(label)->property("text").toString());
        }
#endif
        for (const auto &[from, to, key] :
             {std::tuple{'a', 'b', Qt::Key_Tab}, std::tuple{'b', 'a', Qt::Key_Backtab}}) {
            field(from)->setFocus();
            QStringList told;
            const QObject listening; // ends both connections with this pass
            connect(qApp, &QApplication::focusChanged, &listening, [&told] { told << "focus"; });
            connect(field(to), &QLineEdit::selectionChanged, &listening,
                    [&told] { told << "selection"; });
            QTest::keyClick(field(from), key);
            told << "key handled";
            QCoreApplication::processEvents();
            QCOMPARE(told, QStringList({"focus", "key handled", "selection"}));
            QCOMPARE(field(to)->selectedText(), field(to)->text());
        }
        // Typing that comes before the selection wins: the field keeps what was typed.
        QTest::keyClick(field('a'), Qt::Key_Tab);
        QTest::keyClick(field('b'), Qt::Key_7);
        QCoreApplication::processEvents();
        QVERIFY(!field('b')->hasSelectedText());
    }

    void helpShowsThePageInTheWorkingFolder()
    {
        const QTemporaryDir scratch;
        const auto back = qScopeGuard([home = QDir::currentPath()] { QDir::setCurrent(home); });
        QFile page(scratch.filePath(QStringLiteral("readme.html")));
        QVERIFY(page.open(QIODevice::WriteOnly) && page.write("a page") && page.flush());
        QVERIFY(QDir::setCurrent(scratch.path()));
        QString seen;
        QTimer::singleShot(0, window.get(), [&seen] {
            auto *browser = QApplication::activeModalWidget()->findChild<QTextBrowser *>();
            seen = QStringLiteral("%1, +%2 pt")
                       .arg(browser->toPlainText())
                       .arg(browser->font().pointSize() - QApplication::font().pointSize());
            auto *buttons = browser->window()->findChild<QDialogButtonBox *>();
            QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
        });
        QTest::mouseClick(find("pushButtonAbout"), Qt::LeftButton);
        QCOMPARE(seen, QStringLiteral("a page, +5 pt"));
        QVERIFY(window->findChildren<QTextBrowser *>().isEmpty());
    }

    // A font sized in pixels (by a style sheet, say) has no point size to zoom from.
    void helpZoomsFivePointsInPixels()
    {
        QFont font = QApplication::font();
        font.setPixelSize(16);
        QApplication::setFont(font);
        const Dialog help(window.get());
        const auto *browser = help.findChild<QTextBrowser *>();
        QCOMPARE(browser->font().pixelSize(), 16 + qRound(5 * browser->logicalDpiY() / 72.0));
    }

    // The licence, reached by keys from help, shows as it is written, line by line; a link
    // above it goes back to help.
    void helpShowsTheLicenceAsWritten()
    {
        Dialog help(window.get());
        help.show();
        QVERIFY(QTest::qWaitForWindowActive(&help));
        auto *browser = help.findChild<QTextBrowser *>();
        const auto follow = [browser] {
            QTest::keyClick(browser, Qt::Key_Tab);
            QString link = browser->textCursor().selectedText();
            QTest::keyClick(browser, Qt::Key_Return);
            return link;
        };
        QCOMPARE(follow(), QStringLiteral("Текст лицензии"));
        const QUrl page = QUrl::fromLocalFile(QDir::current().absoluteFilePath("readme.html"));
        QFile licence(page.resolved(browser->source()).toLocalFile());
        QVERIFY2(licence.open(QIODevice::ReadOnly), qPrintable(browser->source().toString()));
        const QStringList lines = browser->toPlainText().split('\n');
        QCOMPARE(lines.mid(1).join('\n').trimmed(), QString::fromUtf8(licence.readAll()).trimmed());
        QCOMPARE(follow(), QStringLiteral("Назад к справке"));
        QVERIFY(browser->toPlainText().contains(QLatin1String("GPL-3.0-or-later")));
    }

    // The help page as this build installs it, in the working folder, ends by naming the
    // licence, and links its text where this platform keeps it.
    void helpNamesTheLicence()
    {
        const Dialog help(window.get());
        const auto *browser = help.findChild<QTextBrowser *>();
        QVERIFY(browser->toPlainText().contains(QLatin1String("GPL-3.0-or-later")));
        const QString link = QRegularExpression(QStringLiteral("(?s).*href=\"([^\"]+)\""))
                                 .match(browser->toHtml())
                                 .captured(1);
        const QUrl page = QUrl::fromLocalFile(QDir::current().absoluteFilePath("readme.html"));
        QVERIFY2(QFileInfo::exists(page.resolved(QUrl(link)).toLocalFile()), qPrintable(link));
    }

    void textsFitAtEveryFont()
    {
        QFETCH(QStringList, f);
        const auto setFont = [](const QString &points) {
            QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points.toInt()));
        };
        setFont(f.value(1, f[0]));
        init();
        if (f.size() > 1) {
            // The window refits once the change has reached every widget.
            const int shown = window->width();
            setFont(f[0]);
            QTRY_VERIFY(window->width() != shown);
        }
        // The window is the form as drawn grown by one factor, at 8 pt and below by none,
        // each position and length rounded on its own.
        QMainWindow drawn;
        Ui::MainWindow form;
        form.setupUi(&drawn);
        drawn.show(); // lays out the central widget, as large as the window
        const double factor = double(window->width()) / drawn.width();
        QCOMPARE(factor == 1.0, f[0].toInt() <= 8);
        const QTransform grown = QTransform::fromScale(factor, factor);
        const auto off = [](QRect a, QRect b) {
            return (a.topLeft() - b.topLeft()).manhattanLength() +
                   (a.bottomRight() - b.bottomRight()).manhattanLength();
        };
        const QRect minimum(QPoint(), drawn.minimumSize());
        QVERIFY(off(grown.mapRect(minimum), QRect(QPoint(), window->minimumSize())) <= 2);
        // With the longest method name and each verdict, and with the largest counts, every
        // text shows whole.
        for (const char *table : {"a=5 b=5 c=5 d=5", "a=30 b=20 c=20 d=30", "a=20 b=10 c=10 d=20",
                                  "a=1 b=9 c=11 d=3", "a=999999 b=999999 c=999999 d=999999"}) {
            run(QStringLiteral("%1 calc").arg(table));
            for (QWidget *d : drawn.findChildren<QWidget *>()) {
                QWidget *w = find(d->objectName());
                const QString where = d->objectName() + " at " + table;
                QVERIFY2(showsWhole(w), qPrintable(where));
                QVERIFY2(off(grown.mapRect(d->geometry()), w->geometry()) <= 4 * (factor > 1),
                         qPrintable(where));
            }
        }
        // And the form grew no more than that needs: some text binds, a label or button at
        // most 1 px wider than its size hint, or a field that scrolls once 2 px narrower.
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
