#include "mainwindow.h"
#include "texts.h"
#include "widgetdriver.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTimer>

#include <functional>
#include <memory>

// The help dialog opened from the main window's help button, with the working
// directory set to a temporary folder that holds (or lacks) readme.html.
class TestHelpDialog final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { QDir::setCurrent(previousDirectory); }
    void init();
    void cleanup();

    void showsThePageFromTheWorkingDirectory();
    void rereadsThePageAtEveryOpening();
    void missingPageGivesAnEmptyBrowser();
    void everyWayOfClosingReturnsInputToTheWindow_data();
    void everyWayOfClosingReturnsInputToTheWindow();
    void extraSpaceGoesToTheBrowser();
    void troublesomePages_data();
    void troublesomePages();
    void linksOutsideGoToTheDesktopAndLocalOnesOpenInside();

private:
    void writePage(const QString &body);
    // Clicks the help button, runs inspect on the open dialog, then closes it with close.
    void openHelp(const std::function<void(QDialog *)> &inspect,
                  const std::function<void(QDialog *)> &close);
    static void clickOk(QDialog *dialog);

    QTemporaryDir folder;
    QString previousDirectory;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<WidgetDriver> driver;
};

void TestHelpDialog::initTestCase()
{
    installStartupCodec();
    QVERIFY(folder.isValid());
    previousDirectory = QDir::currentPath();
    QVERIFY(QDir::setCurrent(folder.path()));
}

void TestHelpDialog::init()
{
    QFile::remove(folder.filePath("readme.html"));
    window = std::make_unique<MainWindow>();
    driver = std::make_unique<WidgetDriver>(window.get());
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestHelpDialog::cleanup()
{
    window.reset();
    QDir::setCurrent(folder.path());
}

void TestHelpDialog::writePage(const QString &body)
{
    QFile page(folder.filePath("readme.html"));
    QVERIFY(page.open(QIODevice::WriteOnly | QIODevice::Truncate));
    page.write("<html><head><meta charset=\"utf-8\"></head><body><p>" + body.toUtf8() +
               "</p></body></html>");
}

void TestHelpDialog::openHelp(const std::function<void(QDialog *)> &inspect,
                              const std::function<void(QDialog *)> &close)
{
    bool opened = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        opened = true;
        inspect(dialog);
        close(dialog);
    });
    QTest::mouseClick(driver->helpButton(), Qt::LeftButton);
    QVERIFY2(opened, "the help button opened no modal dialog");
    QVERIFY(!QApplication::activeModalWidget());
    // Each showing builds its own dialog and deletes it afterwards.
    QVERIFY(window->findChildren<QDialog *>().isEmpty());
}

void TestHelpDialog::clickOk(QDialog *dialog)
{
    auto *buttons = dialog->findChild<QDialogButtonBox *>("buttonBox");
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

void TestHelpDialog::showsThePageFromTheWorkingDirectory()
{
    writePage(QStringLiteral("Первая страница справки"));
    QString title, text;
    QSize size;
    QList<QAbstractButton *> buttons;
    bool centred = false, windowModal = false, parentIsWindow = false;
    int zoomedPointSize = 0;
    openHelp(
        [&](QDialog *dialog) {
            title = dialog->windowTitle();
            size = dialog->size();
            windowModal = dialog->windowModality() == Qt::WindowModal;
            parentIsWindow = dialog->parentWidget() == window.get();
            auto *box = dialog->findChild<QDialogButtonBox *>("buttonBox");
            buttons = box->buttons();
            centred = box->centerButtons() && box->standardButtons() == QDialogButtonBox::Ok;
            auto *browser = dialog->findChild<QTextBrowser *>("textBrowser");
            text = browser->toPlainText();
            zoomedPointSize = browser->font().pointSize();
        },
        clickOk);

    QCOMPARE(title, QStringLiteral("Справка Tabulon 2x2"));
    QCOMPARE(size, QSize(750, 550));
    QVERIFY(windowModal);
    QVERIFY(parentIsWindow);
    QCOMPARE(buttons.size(), 1);
    QVERIFY(centred);
    QCOMPARE(text, QStringLiteral("Первая страница справки"));
    QCOMPARE(zoomedPointSize, QTextBrowser().font().pointSize() + 5);
}

void TestHelpDialog::rereadsThePageAtEveryOpening()
{
    QString text;
    const auto readText = [&](QDialog *dialog) {
        text = dialog->findChild<QTextBrowser *>("textBrowser")->toPlainText();
    };
    writePage(QStringLiteral("old text"));
    openHelp(readText, clickOk);
    QCOMPARE(text, QStringLiteral("old text"));

    writePage(QStringLiteral("new text"));
    openHelp(readText, clickOk);
    QCOMPARE(text, QStringLiteral("new text"));
}

void TestHelpDialog::missingPageGivesAnEmptyBrowser()
{
    QString text = QStringLiteral("not read");
    QWidgetList topLevels;
    QTest::ignoreMessage(QtWarningMsg, "QTextBrowser: No document for readme.html");
    openHelp(
        [&](QDialog *dialog) {
            text = dialog->findChild<QTextBrowser *>("textBrowser")->toPlainText();
            topLevels = QApplication::topLevelWidgets();
            topLevels.removeAll(dialog);
            topLevels.removeAll(window.get());
        },
        clickOk);
    QVERIFY(text.isEmpty());
    // No message box or other window of its own.
    for (QWidget *widget : topLevels)
        QVERIFY(!widget->isVisible());
}

void TestHelpDialog::everyWayOfClosingReturnsInputToTheWindow_data()
{
    QTest::addColumn<int>("way");
    QTest::newRow("OK") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("window close") << 2;
}

void TestHelpDialog::everyWayOfClosingReturnsInputToTheWindow()
{
    QFETCH(int, way);
    writePage(QStringLiteral("help"));
    driver->enterTable({"8", "2", "1", "5"});
    driver->calculate();
    const QStringList result{driver->method(), driver->verdict()};

    openHelp([](QDialog *) {},
             [way](QDialog *dialog) {
                 if (way == 0)
                     clickOk(dialog);
                 else if (way == 1)
                     QTest::keyClick(dialog, Qt::Key_Escape);
                 else
                     dialog->close();
             });

    // Help changes neither the inputs nor the result, and the window takes input again.
    QCOMPARE(QStringList({driver->method(), driver->verdict()}), result);
    QVERIFY(driver->calculateButton()->isEnabled());
    driver->field(3)->setFocus();
    QTest::keyClick(driver->field(3), '0');
    QCOMPARE(driver->field(3)->text(), QStringLiteral("50"));
    QVERIFY(driver->method().isEmpty());
}

void TestHelpDialog::extraSpaceGoesToTheBrowser()
{
    QSize before, after;
    writePage(QStringLiteral("help"));
    openHelp(
        [&](QDialog *dialog) {
            auto *browser = dialog->findChild<QTextBrowser *>("textBrowser");
            before = browser->size();
            dialog->resize(dialog->width() + 200, dialog->height() + 100);
            QApplication::processEvents();
            after = browser->size();
        },
        clickOk);
    QCOMPARE(after - before, QSize(200, 100));
}

void TestHelpDialog::troublesomePages_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("missing") << 0;
    QTest::newRow("unreadable (mode 000)") << 1;
    QTest::newRow("a directory named readme.html") << 2;
    QTest::newRow("20 MB page") << 3;
    QTest::newRow("binary garbage") << 4;
}

void TestHelpDialog::troublesomePages()
{
    QFETCH(int, kind);
    const QString path = folder.filePath("readme.html");
    QFile page(path);
    switch (kind) {
    case 1:
        writePage(QStringLiteral("secret"));
        QVERIFY(page.setPermissions({}));
        break;
    case 2:
        QVERIFY(QDir(folder.path()).mkdir("readme.html"));
        break;
    case 3: {
        QVERIFY(page.open(QIODevice::WriteOnly));
        const QByteArray paragraph = "<p>" + QByteArray(1000, 'x') + "</p>\n";
        page.write("<html><body>");
        while (page.size() < qint64(20) * 1024 * 1024)
            page.write(paragraph);
        page.write("</body></html>");
        page.close();
        break;
    }
    case 4: {
        QVERIFY(page.open(QIODevice::WriteOnly));
        QByteArray garbage(1 << 20, '\0');
        quint32 state = 12345;
        for (char &byte : garbage) {
            state = state * 1664525u + 1013904223u;
            byte = char(state >> 24);
        }
        page.write(garbage);
        page.close();
        break;
    }
    default:
        break;
    }
    if (kind == 0 || kind == 2)
        QTest::ignoreMessage(QtWarningMsg, "QTextBrowser: No document for readme.html");

    bool shown = false;
    openHelp([&](QDialog *dialog) { shown = dialog->isVisible(); }, clickOk);
    QVERIFY(shown);

    // The window goes on working.
    driver->enterTable({"8", "2", "1", "5"});
    driver->calculate();
    QCOMPARE(driver->method(), Texts::fisherMethod);

    if (kind == 1)
        page.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (kind == 2)
        QDir(folder.path()).rmdir("readme.html");
}

namespace {
// Stands in for the desktop's handler of web links.
class UrlCatcher final : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

// Clicks the link whose text is linkText in the browser.
void clickLink(QTextBrowser *browser, const QString &linkText)
{
    QTextCursor cursor = browser->document()->find(linkText);
    QVERIFY(!cursor.isNull());
    cursor.setPosition(cursor.selectionStart() + 1);
    QTest::mouseClick(browser->viewport(), Qt::LeftButton, {},
                      browser->cursorRect(cursor).center());
}
} // namespace

void TestHelpDialog::linksOutsideGoToTheDesktopAndLocalOnesOpenInside()
{
    QFile other(folder.filePath("other.html"));
    QVERIFY(other.open(QIODevice::WriteOnly));
    other.write("<html><body><p>Another page</p></body></html>");
    other.close();
    writePage(QStringLiteral("<a href=\"https://example.org/guide\">web link</a> "
                             "<a href=\"other.html\">local link</a>"));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    bool openAfterWebLink = false;
    QString afterLocalLink;
    openHelp(
        [&](QDialog *dialog) {
            auto *browser = dialog->findChild<QTextBrowser *>("textBrowser");
            clickLink(browser, QStringLiteral("web link"));
            openAfterWebLink = dialog->isVisible();
            clickLink(browser, QStringLiteral("local link"));
            afterLocalLink = browser->toPlainText();
        },
        clickOk);
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));

    QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QStringLiteral("https://example.org/guide"))});
    QVERIFY(openAfterWebLink);
    QCOMPARE(afterLocalLink, QStringLiteral("Another page"));
}

QTEST_MAIN(TestHelpDialog)
#include "test_helpdialog.moc"
