#include "exactcompare.h"
#include "statengine.h"

#include <QTest>

#include <climits>
#include <cmath>

class TestLnFactorial final : public QObject
{
    Q_OBJECT

private slots:
    void constants();
    void values_data();
    void values();
    void largestIntIsFinite();
};

void TestLnFactorial::constants()
{
    const StatEngine engine;
    COMPARE_EXACT(engine.pi, 3.141592653589793);
    COMPARE_EXACT(engine.twoPi, 6.283185307179586);
    // ln(2π) itself, not ln √(2π): lnFactorial halves it.
    COMPARE_EXACT(engine.lnTwoPi, 1.8378770664093453);
    COMPARE_EXACT(engine.halfPi, 1.5707963267948966);
}

void TestLnFactorial::values_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("tolerance");

    QTest::newRow("0! = 1 exactly") << 0 << 0.0 << 0.0;
    QTest::newRow("1! = 1 exactly") << 1 << 0.0 << 0.0;
    QTest::newRow("negative n gives 0") << -7 << 0.0 << 0.0;
    QTest::newRow("2! from the product") << 2 << 0.6931471805599453 << 0.0;
    QTest::newRow("3! from the product") << 3 << std::log(6.0) << 0.0;
    QTest::newRow("16! still from the exact product") << 16 << 30.671860106080672 << 0.0;
    QTest::newRow("17! from the series") << 17 << 33.50507345013689 << 1e-13;
    QTest::newRow("100! from the series") << 100 << 363.7393755555635 << 1e-12;
    QTest::newRow("1000! from the series") << 1000 << 5912.128178488163 << 1e-9;
}

void TestLnFactorial::values()
{
    QFETCH(int, n);
    QFETCH(double, expected);
    QFETCH(double, tolerance);

    const double actual = StatEngine().lnFactorial(n);
    if (tolerance == 0.0)
        COMPARE_EXACT(actual, expected);
    else
        QVERIFY2(std::fabs(actual - expected) <= tolerance,
                 qPrintable(QString::number(actual, 'g', 17)));
}

void TestLnFactorial::largestIntIsFinite()
{
    const double value = StatEngine().lnFactorial(INT_MAX);
    QVERIFY(std::isfinite(value));
    QVERIFY(std::fabs(value / 4.3997e10 - 1.0) < 1e-4);
}

QTEST_APPLESS_MAIN(TestLnFactorial)
#include "test_lnfactorial.moc"
