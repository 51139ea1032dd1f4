#include "counts.h"
#include "formfit.h"
#include "mainwindow.h"
#include "statengine.h"
#include "texts.h"
#include "ui_mainwindow.h"
#include "widgetdriver.h"

#include <QGroupBox>
#include <QTimer>

#include <climits>
#include <memory>

// The main window driven through its widgets: input rules, calculation, results.
class TestMainWindow final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installStartupCodec(); }
    void init();
    void cleanup();

    void freshWindow();
    void enablingRule_data();
    void enablingRule();
    void refusedKeystrokesChangeNothing_data();
    void refusedKeystrokesChangeNothing();
    void anyEditClearsTheResult();
    void badInputTypedAndPasted_data();
    void badInputTypedAndPasted();
    void emptiedFieldKeepsTheLastCounts();
    void groupSeparatorsAreRefused_data();
    void groupSeparatorsAreRefused();
    void calculation_data();
    void calculation();
    void interimTextsArePaintedDuringTheTest();
    void closingTheWindowEndsTheEventLoop();
    void textsFitAtEveryFont_data();
    void textsFitAtEveryFont();

private:
    // Method and verdict that the engine gives for a table, as the window should show them.
    static QStringList expectedResult(const FourfoldCounts &cells);

    std::unique_ptr<MainWindow> window;
    std::unique_ptr<WidgetDriver> driver;
};

void TestMainWindow::init()
{
    window = std::make_unique<MainWindow>();
    driver = std::make_unique<WidgetDriver>(window.get());
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void TestMainWindow::cleanup()
{
    window.reset();
    QApplication::setFont(QFont());
}

QStringList TestMainWindow::expectedResult(const FourfoldCounts &cells)
{
    FourfoldVerdicts verdicts;
    if (StatEngine().fourfoldTest(cells, verdicts))
        return {Texts::chiSquareMethod, verdicts[0]};
    return {Texts::fisherMethod, verdicts[1]};
}

void TestMainWindow::freshWindow()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Tabulon 2x2"));
    QVERIFY(!window->windowIcon().pixmap(30).isNull());
    for (int i = 0; i < 4; ++i)
        QVERIFY(driver->field(i)->text().isEmpty());
    QVERIFY(!driver->calculateButton()->isEnabled());
    QVERIFY(driver->helpButton()->isEnabled());
    QVERIFY(driver->method().isEmpty());
    QVERIFY(driver->verdict().isEmpty());
    QCOMPARE(QApplication::focusWidget(), driver->field(0));
}

void TestMainWindow::enablingRule_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<FourfoldCounts>("counts");

    QTest::newRow("all zero") << QStringList{"0", "0", "0", "0"} << false << FourfoldCounts{};
    QTest::newRow("zero cells on a diagonal")
        << QStringList{"1", "0", "0", "1"} << true << FourfoldCounts{1, 0, 0, 1};
    QTest::newRow("second row empty")
        << QStringList{"3", "5", "0", "0"} << false << FourfoldCounts{};
    QTest::newRow("first column empty")
        << QStringList{"0", "4", "0", "9"} << false << FourfoldCounts{};
    QTest::newRow("second column empty")
        << QStringList{"7", "0", "2", "0"} << false << FourfoldCounts{};
    QTest::newRow("one field left empty")
        << QStringList{"8", "2", "1", ""} << false << FourfoldCounts{};
    QTest::newRow("largest counts") << QStringList{"999999", "999999", "999999", "999999"} << true
                                    << FourfoldCounts{999999, 999999, 999999, 999999};
    QTest::newRow("lone plus counts as 0")
        << QStringList{"+", "2", "3", "4"} << true << FourfoldCounts{0, 2, 3, 4};
    QTest::newRow("plus sign before a digit")
        << QStringList{"+5", "2", "3", "4"} << true << FourfoldCounts{5, 2, 3, 4};
}

void TestMainWindow::enablingRule()
{
    QFETCH(QStringList, texts);
    QFETCH(bool, enabled);
    QFETCH(FourfoldCounts, counts);

    driver->enterTable(texts);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(driver->field(i)->text(), texts[i]);
    QCOMPARE(driver->calculateButton()->isEnabled(), enabled);
    if (!enabled)
        return;
    // The counts computed are the counts shown.
    driver->calculate();
    QCOMPARE(QStringList({driver->method(), driver->verdict()}), expectedResult(counts));
}

void TestMainWindow::refusedKeystrokesChangeNothing_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("keys");

    QTest::newRow("minus sign") << QStringLiteral("5") << QStringLiteral("-");
    QTest::newRow("letter") << QStringLiteral("5") << QStringLiteral("x");
    QTest::newRow("Cyrillic letter") << QStringLiteral("5") << QStringLiteral("ж");
    QTest::newRow("seventh digit") << QStringLiteral("999999") << QStringLiteral("9");
    QTest::newRow("digit past the limit") << QStringLiteral("100000") << QStringLiteral("0");
}

void TestMainWindow::refusedKeystrokesChangeNothing()
{
    QFETCH(QString, before);
    QFETCH(QString, keys);

    driver->enterTable({before, "2", "1", "5"});
    driver->calculate();
    const QStringList result{driver->method(), driver->verdict()};
    QVERIFY(!result[0].isEmpty());

    WidgetDriver::type(driver->field(0), keys);
    QCOMPARE(driver->field(0)->text(), before);
    // Nothing was edited, so the result stands.
    QCOMPARE(QStringList({driver->method(), driver->verdict()}), result);
}

void TestMainWindow::badInputTypedAndPasted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pasted");
    QTest::addColumn<QString>("shown");

    const auto both = [](const char *name, const QString &text, const QString &typed,
                         const QString &pasted) {
        QTest::addRow("%s, typed", name) << text << false << typed;
        QTest::addRow("%s, pasted", name) << text << true << pasted;
    };
    both("letters", "abc", "", "");
    both("minus sign", "-5", "5", "");
    both("seventh digit", "1234567", "123456", "");
    both("spaces", " 12 ", "12", "");
    both("Arabic-Indic digits", QStringLiteral("\u0661\u0662"), "", "");
    both("full-width digits", QStringLiteral("\uFF11\uFF12"), "", "");
    both("lone plus", "+", "+", "+");
    both("leading zeros", "007", "007", "007");
    both("largest count", "999999", "999999", "999999");
    QTest::newRow("100,000 digits, pasted") << QString(100000, '1') << true << QString();
    // A line edit keeps at most 32767 characters: the paste is cut to zeros, and
    // what the field then shows, 0, is what is computed.
    QTest::newRow("100,000 zeros and a 7, pasted")
        << QString(99999, '0') + '7' << true << QString(32767, '0');
}

void TestMainWindow::badInputTypedAndPasted()
{
    QFETCH(QString, text);
    QFETCH(bool, pasted);
    QFETCH(QString, shown);

    QLineEdit *field = driver->field(0);
    if (pasted)
        WidgetDriver::paste(field, text);
    else
        WidgetDriver::type(field, text);
    QCOMPARE(field->text(), shown);

    // Whatever stays in the field is computed as the number a person reads there.
    driver->enterTable({"", "2", "3", "4"});
    if (!driver->calculateButton()->isEnabled())
        return;
    driver->calculate();
    const int shownCount = shown == QLatin1String("+") ? 0 : shown.toInt();
    QCOMPARE(QStringList({driver->method(), driver->verdict()}),
             expectedResult({shownCount, 2, 3, 4}));
}

void TestMainWindow::anyEditClearsTheResult()
{
    for (int i = 0; i < 4; ++i) {
        driver->enterTable({"8", "2", "1", "5"});
        driver->calculate();
        QVERIFY(!driver->method().isEmpty());
        QTest::keyClick(driver->field(i), '0');
        QVERIFY2(driver->method().isEmpty() && driver->verdict().isEmpty(), "after typing");
        QVERIFY(driver->calculateButton()->isEnabled());

        driver->calculate();
        QTest::keyClick(driver->field(i), Qt::Key_Backspace);
        QVERIFY2(driver->method().isEmpty() && driver->verdict().isEmpty(), "after Backspace");
        for (int k = 0; k < 4; ++k)
            driver->field(k)->clear();
    }
}

void TestMainWindow::emptiedFieldKeepsTheLastCounts()
{
    driver->enterTable({"0", "5", "5", "0"});
    QTest::keyClick(driver->field(3), Qt::Key_Backspace);
    QVERIFY(!driver->calculateButton()->isEnabled());
    // The button is disabled; run the slot directly to see which counts it holds.
    QVERIFY(QMetaObject::invokeMethod(window.get(), "slotCalc"));
    QCOMPARE(QStringList({driver->method(), driver->verdict()}), expectedResult({0, 5, 5, 0}));
}

void TestMainWindow::groupSeparatorsAreRefused_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("pasted");

    const QString noBreakSpace = QStringLiteral("1\u00a0000");
    for (const bool pasted : {false, true}) {
        const char *how = pasted ? "pasted" : "typed";
        QTest::addRow("C locale, comma, %s", how) << "C"
                                                  << "1,000" << pasted;
        QTest::addRow("English, comma, %s", how) << "en_US"
                                                 << "1,000" << pasted;
        QTest::addRow("Russian, space, %s", how) << "ru_RU"
                                                 << "1 000" << pasted;
        QTest::addRow("Russian, no-break space, %s", how) << "ru_RU" << noBreakSpace << pasted;
        QTest::addRow("German, full stop, %s", how) << "de_DE"
                                                    << "1.000" << pasted;
    }
}

void TestMainWindow::groupSeparatorsAreRefused()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, pasted);

    const QLocale previous;
    QLocale::setDefault(QLocale(locale));
    init();
    QLocale::setDefault(previous);

    QLineEdit *field = driver->field(0);
    if (pasted)
        WidgetDriver::paste(field, text);
    else
        WidgetDriver::type(field, text);
    // Typed, the separator alone is refused; pasted, the whole text is.
    QCOMPARE(field->text(), pasted ? QString() : QStringLiteral("1000"));

    if (pasted)
        WidgetDriver::type(field, QStringLiteral("1000"));
    driver->enterTable({"", "2", "3", "4"});
    driver->calculate();
    QCOMPARE(QStringList({driver->method(), driver->verdict()}), expectedResult({1000, 2, 3, 4}));
}

void TestMainWindow::calculation_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("method");
    QTest::addColumn<QString>("verdict");

    QTest::newRow("5 5 5 5") << QStringList{"5", "5", "5", "5"} << Texts::chiSquareMethod
                             << Texts::accepted10;
    QTest::newRow("1 9 11 3: expected frequencies exactly 5")
        << QStringList{"1", "9", "11", "3"} << Texts::chiSquareMethod << Texts::rejected01;
    QTest::newRow("8 2 1 5") << QStringList{"8", "2", "1", "5"} << Texts::fisherMethod
                             << Texts::rejected05;
    QTest::newRow("0 5 5 0") << QStringList{"0", "5", "5", "0"} << Texts::fisherMethod
                             << Texts::rejected01;
    QTest::newRow("1 0 0 1") << QStringList{"1", "0", "0", "1"} << Texts::fisherMethod
                             << Texts::accepted10;
    QTest::newRow("largest table") << QStringList{"999999", "999999", "999999", "999999"}
                                   << Texts::chiSquareMethod << Texts::accepted10;
}

void TestMainWindow::calculation()
{
    QFETCH(QStringList, texts);
    QFETCH(QString, method);
    QFETCH(QString, verdict);

    driver->enterTable(texts);
    for (int press = 0; press < 2; ++press) {
        driver->calculate();
        QCOMPARE(driver->method(), method);
        QCOMPARE(driver->verdict(), verdict);
        QVERIFY(!driver->calculateButton()->isDown());
        QVERIFY(driver->calculateButton()->isEnabled());
    }
}

// Records what the result labels and the button show whenever the verdict label paints.
class PaintWatcher final : public QObject
{
public:
    explicit PaintWatcher(const WidgetDriver &driver) : driver(driver) {}
    QList<QStringList> seen;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            seen.append({driver.method(), driver.verdict(),
                         driver.calculateButton()->isDown() ? "down" : "up"});
        return QObject::eventFilter(watched, event);
    }

private:
    const WidgetDriver &driver;
};

void TestMainWindow::interimTextsArePaintedDuringTheTest()
{
    driver->enterTable({"8", "2", "1", "5"});
    QApplication::processEvents();
    PaintWatcher watcher(*driver);
    driver->find<QLabel>("labelZ")->installEventFilter(&watcher);
    driver->calculate();
    QVERIFY(!watcher.seen.isEmpty());
    QCOMPARE(watcher.seen.first(),
             QStringList({Texts::waitMethod, Texts::waitVerdict, QStringLiteral("down")}));
    QCOMPARE(driver->method(), Texts::fisherMethod);
}

void TestMainWindow::closingTheWindowEndsTheEventLoop()
{
    QTimer::singleShot(0, window.get(), &QWidget::close);
    QCOMPARE(QApplication::exec(), 0);
}

namespace {

// Where the text cursor stands, once the field has painted itself.
int cursorX(QLineEdit *edit)
{
    edit->grab();
    return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().x();
}

// A line edit scrolls a text too wide for it: the cursor at the end then stands less
// than the text's advance from the cursor at the start.
bool scrolls(QLineEdit *edit)
{
    edit->end(false);
    const int end = cursorX(edit);
    edit->home(false);
    return end - cursorX(edit) != edit->fontMetrics().horizontalAdvance(edit->text());
}

// Pixels to spare around the widget's text, in the tighter direction; negative when the
// text is cut. Labels and buttons ask for their size hint, a group box for its minimum size.
int spareRoom(QWidget *widget)
{
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        return scrolls(edit) ? -1 : 0;
    const QSize needed =
        qobject_cast<QGroupBox *>(widget) ? widget->minimumSizeHint() : widget->sizeHint();
    return std::min(widget->width() - needed.width(), widget->height() - needed.height());
}

} // namespace

void TestMainWindow::textsFitAtEveryFont_data()
{
    QTest::addColumn<int>("points");
    for (const int points : {6, 8, 9, 12, 16})
        QTest::addRow("%d pt", points) << points;
}

void TestMainWindow::textsFitAtEveryFont()
{
    QFETCH(int, points);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points));
    init();

    // The window is the form as drawn, grown by one factor: at 8 pt not at all.
    QMainWindow drawn;
    Ui::MainWindow form;
    form.setupUi(&drawn);
    const double factor = double(window->width()) / drawn.width();
    QCOMPARE(factor == 1.0, points <= 8);
    QList<std::pair<QRect, QRect>> rects = {
        {window->rect(), drawn.rect()},
        {QRect(QPoint(), window->minimumSize()), QRect(QPoint(), drawn.minimumSize())}};
    const QWidgetList widgets = drawn.centralWidget()->findChildren<QWidget *>();
    for (QWidget *original : widgets)
        rects.append(
            {driver->find(qPrintable(original->objectName()))->geometry(), original->geometry()});
    const int rounding = factor == 1.0 ? 0 : 1;
    for (const auto &[actual, original] : rects) {
        const QRect expected(qRound(original.x() * factor), qRound(original.y() * factor),
                             qRound(original.width() * factor), qRound(original.height() * factor));
        QVERIFY2(std::abs(actual.left() - expected.left()) <= rounding &&
                     std::abs(actual.top() - expected.top()) <= rounding &&
                     std::abs(actual.right() - expected.right()) <= rounding &&
                     std::abs(actual.bottom() - expected.bottom()) <= rounding,
                 qPrintable(QStringLiteral("%1 pt").arg(points)));
    }

    // The largest counts, the longest method name and every verdict are shown whole, and
    // the window grew no more than the tightest text needs.
    const QString largest = QString::number(StatEngine::maxCount);
    int tightest = INT_MAX;
    for (const FourfoldCounts &cells :
         {FourfoldCounts{5, 5, 5, 5}, FourfoldCounts{30, 20, 20, 30},
          FourfoldCounts{20, 10, 10, 20}, FourfoldCounts{1, 9, 11, 3}}) {
        for (int i = 0; i < 4; ++i) {
            driver->field(i)->clear();
            WidgetDriver::type(driver->field(i), QString::number(cells[i]));
        }
        driver->calculate();
        QCOMPARE(driver->method(), Texts::chiSquareMethod);
        for (QWidget *original : widgets) {
            const int spare = spareRoom(driver->find(qPrintable(original->objectName())));
            QVERIFY2(spare >= 0, qPrintable(original->objectName()));
            tightest = std::min(tightest, spare);
        }
    }
    QVERIFY(factor == 1.0 || tightest <= 1);

    // A field holds the largest count whole, and one pixel less would not.
    QLineEdit *field = driver->field(0);
    WidgetDriver::type(field, largest);
    QVERIFY(!scrolls(field));
    field->resize(FormFit::neededSize(field, largest).width(), field->height());
    QVERIFY(!scrolls(field));
    field->resize(field->width() - 1, field->height());
    QVERIFY(scrolls(field));
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
