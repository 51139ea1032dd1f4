#include "exactcompare.h"
#include "statengine.h"

#include <QTest>

#include <cmath>
#include <limits>

// Compares by absolute or relative difference, whichever the row asks for.
static bool close(double actual, double expected, double absolute, double relative)
{
    const double diff = std::fabs(actual - expected);
    return diff <= absolute || diff <= relative * std::fabs(expected);
}

class TestTails final : public QObject
{
    Q_OBJECT

private slots:
    void chiSquareTail_data();
    void chiSquareTail();
    void seriesAtTheSwitchIsTiny();
    void oneDegreeMatchesComplementaryErrorFunction();
    void normalTwoTail_data();
    void normalTwoTail();
    void normalTwoTailIsSymmetric();
    void nonFiniteArgumentsPassThrough();
};

void TestTails::chiSquareTail_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("df");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("absolute");
    QTest::addColumn<double>("relative");

    QTest::newRow("x = 0, df 1: exactly 1") << 0.0 << 1 << 1.0 << 0.0 << 0.0;
    QTest::newRow("x = 0, df 2: exactly 1") << 0.0 << 2 << 1.0 << 0.0 << 0.0;
    QTest::newRow("critical value at 0.10") << 2.705543454095404 << 1 << 0.10 << 1e-14 << 0.0;
    QTest::newRow("critical value at 0.05") << 3.841458820694124 << 1 << 0.05 << 1e-14 << 0.0;
    QTest::newRow("critical value at 0.01") << 6.634896601021214 << 1 << 0.01 << 1e-14 << 0.0;
    QTest::newRow("x = 1, df 1") << 1.0 << 1 << 0.3173105078629 << 1e-13 << 0.0;
    QTest::newRow("df 2 is exp(-x/2)") << 2.0 << 2 << 0.36787944117144233 << 1e-15 << 0.0;
    QTest::newRow("odd df 3 from the series") << 7.814727903251178 << 3 << 0.05 << 1e-14 << 0.0;
    QTest::newRow("just past x 1000: approximation") << 1000.5 << 1 << 1.483e-85 << 0.0 << 1e-3;
    QTest::newRow("df above 1000, x above df") << 1100.0 << 1001 << 0.0154515 << 0.0 << 1e-5;
    QTest::newRow("df above 1000, x below df") << 900.0 << 1001 << 0.989907 << 0.0 << 1e-6;
    QTest::newRow("df 1000 still takes the series") << 1000.0 << 1000 << 0.494053 << 0.0 << 1e-5;
}

void TestTails::chiSquareTail()
{
    QFETCH(double, x);
    QFETCH(int, df);
    QFETCH(double, expected);
    QFETCH(double, absolute);
    QFETCH(double, relative);

    const double actual = StatEngine().chiSquareTail(x, df);
    QVERIFY2(close(actual, expected, absolute, relative),
             qPrintable(QString::number(actual, 'g', 17)));
}

void TestTails::seriesAtTheSwitchIsTiny()
{
    // At x = 1000 the series still runs: 1 − S with S equal to 1 but for its last bits.
    const double q = StatEngine().chiSquareTail1(1000.0);
    QVERIFY(std::fabs(q) < 1e-12);
}

void TestTails::oneDegreeMatchesComplementaryErrorFunction()
{
    // Q(x, 1) = erfc(√(x/2)). The series returns 1 − S, whose absolute error is a few
    // ulps of 1 whatever the size of Q; tails below 1e-3 are judged absolutely.
    const StatEngine engine;
    for (double x = 0.0; x <= 1000.0; x += x < 20.0 ? 0.01 : 0.5) {
        const double expected = std::erfc(std::sqrt(x / 2.0));
        const double actual = engine.chiSquareTail1(x);
        QVERIFY2(close(actual, expected, 1e-14, 1e-12),
                 qPrintable(QStringLiteral("x=%1: %2 vs %3").arg(x).arg(actual).arg(expected)));
    }
}

void TestTails::normalTwoTail_data()
{
    QTest::addColumn<double>("z");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("absolute");
    QTest::addColumn<double>("relative");

    QTest::newRow("z = 0: exactly 1") << 0.0 << 1.0 << 0.0 << 0.0;
    QTest::newRow("two-sided 5% point") << 1.959963984540054 << 0.05 << 1e-14 << 0.0;
    QTest::newRow("|z| = 7 exactly takes the series") << 7.0 << 2.5600e-12 << 0.0 << 1e-4;
    QTest::newRow("just above 7 takes the asymptote") << 7.000000001 << 2.5599e-12 << 0.0 << 1e-4;
    QTest::newRow("z = 10") << 10.0 << 1.52399e-23 << 0.0 << 1e-5;
    QTest::newRow("z = 20") << 20.0 << 5.50725e-89 << 0.0 << 1e-5;
}

void TestTails::normalTwoTail()
{
    QFETCH(double, z);
    QFETCH(double, expected);
    QFETCH(double, absolute);
    QFETCH(double, relative);

    const double actual = StatEngine().normalTwoTail(z);
    QVERIFY2(close(actual, expected, absolute, relative),
             qPrintable(QString::number(actual, 'g', 17)));
}

void TestTails::normalTwoTailIsSymmetric()
{
    const StatEngine engine;
    for (const double z : {0.3, 1.959963984540054, 6.99, 7.0, 7.5, 12.0})
        COMPARE_EXACT(engine.normalTwoTail(-z), engine.normalTwoTail(z));
}

void TestTails::nonFiniteArgumentsPassThrough()
{
    const StatEngine engine;
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    COMPARE_EXACT(engine.chiSquareTail1(inf), 0.0);
    QVERIFY(std::isnan(engine.chiSquareTail1(nan)));
    COMPARE_EXACT(engine.normalTwoTail(inf), 0.0);
    COMPARE_EXACT(engine.normalTwoTail(-inf), 0.0);
    QVERIFY(std::isnan(engine.normalTwoTail(nan)));
    QVERIFY(std::isnan(engine.chiSquareTail(-1.0, 1)));
}

QTEST_APPLESS_MAIN(TestTails)
#include "test_tails.moc"
