#include "counts.h"
#include "exactcompare.h"
#include "statengine.h"
#include "texts.h"

#include <QTest>

#include <climits>
#include <cmath>

class TestFourfold final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installStartupCodec(); }

    void yatesTerm_data();
    void yatesTerm();
    void tables_data();
    void tables();
    void methodFlag_data();
    void methodFlag();
    void unusableTablesGetNoVerdict_data();
    void unusableTablesGetNoVerdict();
};

void TestFourfold::yatesTerm_data()
{
    QTest::addColumn<double>("observed");
    QTest::addColumn<double>("expected");
    QTest::addColumn<double>("term");

    QTest::newRow("zero expected frequency contributes 0") << 3.0 << 0.0 << 0.0;
    QTest::newRow("|O - E| below the correction contributes 0") << 5.0 << 4.6 << 0.0;
    QTest::newRow("|O - E| equal to the correction contributes 0") << 5.5 << 5.0 << 0.0;
    QTest::newRow("above the correction: (|O - E| - 0.5)^2 / E") << 6.0 << 5.0 << 0.05;
    QTest::newRow("sign of O - E does not matter") << 4.0 << 5.0 << 0.05;
}

void TestFourfold::yatesTerm()
{
    QFETCH(double, observed);
    QFETCH(double, expected);
    QFETCH(double, term);
    COMPARE_EXACT(StatEngine().yatesTerm(observed, expected, 0.5), term);
}

void TestFourfold::tables_data()
{
    QTest::addColumn<FourfoldCounts>("cells");
    QTest::addColumn<bool>("chiSquare");
    QTest::addColumn<double>("statistic");
    QTest::addColumn<QString>("yatesVerdict");
    QTest::addColumn<double>("fisherP");
    QTest::addColumn<QString>("fisherVerdict");

    QTest::newRow("5 5 5 5: E exactly 5 passes, every term 0")
        << FourfoldCounts{5, 5, 5, 5} << true << 0.0 << Texts::accepted10 << 1.0
        << Texts::accepted10;
    QTest::newRow("6 4 4 6: each term 0.05")
        << FourfoldCounts{6, 4, 4, 6} << true << 0.2 << Texts::accepted10 << 30313.0 / 46189
        << Texts::accepted10;
    QTest::newRow("1 9 11 3: two E exactly 5")
        << FourfoldCounts{1, 9, 11, 3} << true << 8.4 << Texts::rejected01 << 41.0 / 14858
        << Texts::rejected01;
    QTest::newRow("10 0 0 10: only the two extreme tables count")
        << FourfoldCounts{10, 0, 0, 10} << true << 16.2 << Texts::rejected01 << 1.0 / 92378
        << Texts::rejected01;
    QTest::newRow("20 10 10 20") << FourfoldCounts{20, 10, 10, 20} << true << 5.4
                                 << Texts::rejected05 << 0.019383188261789967 << Texts::rejected05;
    QTest::newRow("30 20 20 30") << FourfoldCounts{30, 20, 20, 30} << true << 3.24
                                 << Texts::rejected10 << 0.07134240348821032 << Texts::rejected10;
    QTest::newRow("1 0 0 1: both tables of probability 0.5 count")
        << FourfoldCounts{1, 0, 0, 1} << false << 0.0 << Texts::accepted10 << 1.0
        << Texts::accepted10;
    QTest::newRow("3 1 1 3: the more probable middle table is skipped")
        << FourfoldCounts{3, 1, 1, 3} << false << 0.5 << Texts::accepted10 << 34.0 / 70
        << Texts::accepted10;
    QTest::newRow("8 2 1 5: Fisher applies, chi-square verdict still filled")
        << FourfoldCounts{8, 2, 1, 5} << false << 3.8095238095238093 << Texts::rejected10
        << 5.0 / 143 << Texts::rejected05;
    QTest::newRow("0 5 5 0: verdicts differ between the tests")
        << FourfoldCounts{0, 5, 5, 0} << false << 6.4 << Texts::rejected05 << 2.0 / 252
        << Texts::rejected01;

    // Exact p-values that the floating-point sum misses by an ulp or two are graded as
    // equal to the level.
    QTest::newRow("0 2 3 0: p exactly 1/10 is rejected at 0.10")
        << FourfoldCounts{0, 2, 3, 0} << false << 1.7013888888888886 << Texts::accepted10 << 0.1
        << Texts::rejected10;
    QTest::newRow("1 0 0 9: p exactly 1/10 is rejected at 0.10")
        << FourfoldCounts{1, 0, 0, 9} << false << 1.975308641975309 << Texts::accepted10 << 0.1
        << Texts::rejected10;
    QTest::newRow("2 0 2 12: p exactly 1/20 is rejected at 0.05")
        << FourfoldCounts{2, 0, 2, 12} << false << 3.0476190476190474 << Texts::rejected10 << 0.05
        << Texts::rejected05;

    // Equally probable tables count even when rounding noise in the log-factorials of
    // large totals is far above 1e-12 of their probability.
    QTest::newRow("0 300000 5 299995: the mirror table ties the observed one")
        << FourfoldCounts{0, 300000, 5, 299995} << false << 3.200026666888891 << Texts::rejected10
        << 0.0624989583342014 << Texts::rejected10;
    QTest::newRow("999999 999999 999999 999999: every table ties its mirror")
        << FourfoldCounts{999999, 999999, 999999, 999999} << true << 0.0 << Texts::accepted10 << 1.0
        << Texts::accepted10;
}

void TestFourfold::tables()
{
    QFETCH(FourfoldCounts, cells);
    QFETCH(bool, chiSquare);
    QFETCH(double, statistic);
    QFETCH(QString, yatesVerdict);
    QFETCH(double, fisherP);
    QFETCH(QString, fisherVerdict);

    const StatEngine engine;
    FourfoldVerdicts verdicts = {QStringLiteral("stale"), QStringLiteral("stale")};
    QCOMPARE(engine.fourfoldTest(cells, verdicts), chiSquare);
    QCOMPARE(verdicts[0], yatesVerdict);
    QCOMPARE(verdicts[1], fisherVerdict);

    QVERIFY(std::fabs(engine.yatesChiSquare(cells) - statistic) <= 1e-12 * (1.0 + statistic));
    // The series for ln n! is accurate to about 1e-15 relative; with totals in the
    // millions the p-value keeps about 8 digits, small tables nearly all 16.
    const double p = engine.fisherPValue(cells);
    QVERIFY2(std::fabs(p - fisherP) <= 1e-7 * fisherP, qPrintable(QString::number(p, 'g', 17)));
}

void TestFourfold::methodFlag_data()
{
    QTest::addColumn<FourfoldCounts>("cells");
    QTest::addColumn<bool>("chiSquare");

    QTest::newRow("every E exactly 5") << FourfoldCounts{5, 5, 5, 5} << true;
    QTest::newRow("only Ea below 5 (4.98)") << FourfoldCounts{0, 12, 27, 26} << false;
    QTest::newRow("only Eb below 5 (4.98)") << FourfoldCounts{9, 3, 29, 24} << false;
    QTest::newRow("only Ec below 5 (4.98)") << FourfoldCounts{9, 29, 3, 24} << false;
    QTest::newRow("only Ed below 5 (4.98)") << FourfoldCounts{26, 12, 27, 0} << false;
    QTest::newRow("large table with a thin column")
        << FourfoldCounts{999999, 0, 999999, 20} << true;
}

void TestFourfold::methodFlag()
{
    QFETCH(FourfoldCounts, cells);
    QFETCH(bool, chiSquare);
    QCOMPARE(StatEngine::chiSquareApplies(cells), chiSquare);
    FourfoldVerdicts verdicts;
    QCOMPARE(StatEngine().fourfoldTest(cells, verdicts), chiSquare);
}

void TestFourfold::unusableTablesGetNoVerdict_data()
{
    QTest::addColumn<FourfoldCounts>("cells");

    QTest::newRow("all zero") << FourfoldCounts{0, 0, 0, 0};
    QTest::newRow("empty row") << FourfoldCounts{3, 5, 0, 0};
    QTest::newRow("empty column") << FourfoldCounts{0, 4, 0, 9};
    QTest::newRow("negative count") << FourfoldCounts{-1, 4, 2, 9};
    QTest::newRow("count above the limit") << FourfoldCounts{1000000, 4, 2, 9};
    QTest::newRow("extreme ints") << FourfoldCounts{INT_MAX, INT_MIN, INT_MAX, INT_MIN};
    QTest::newRow("margins past the int range")
        << FourfoldCounts{INT_MAX, INT_MAX, INT_MAX, INT_MAX};
}

void TestFourfold::unusableTablesGetNoVerdict()
{
    QFETCH(FourfoldCounts, cells);
    const StatEngine engine;
    QVERIFY(!StatEngine::isUsable(cells));
    QVERIFY(!StatEngine::chiSquareApplies(cells));
    QVERIFY(std::isnan(engine.fisherPValue(cells)));
    QVERIFY(std::isnan(engine.yatesChiSquare(cells)));
    FourfoldVerdicts verdicts = {QStringLiteral("stale"), QStringLiteral("stale")};
    QCOMPARE(engine.fourfoldTest(cells, verdicts), false);
    QVERIFY(verdicts[0].isEmpty());
    QVERIFY(verdicts[1].isEmpty());
}

QTEST_APPLESS_MAIN(TestFourfold)
#include "test_fourfold.moc"
