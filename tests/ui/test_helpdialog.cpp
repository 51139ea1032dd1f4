#include "mainwindow.h"
#include "texts.h"
#include "widgetdriver.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
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

QTEST_MAIN(TestHelpDialog)
#include "test_helpdialog.moc"
