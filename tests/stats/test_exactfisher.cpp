#include "exactfisher.h"
#include "statengine.h"
#include "texts.h"

#include <QTest>

#include <cmath>
#include <random>

// The engine's Fisher test against exact integer arithmetic: every usable table with a
// grand total up to 30, and a fixed-seed sample of tables with totals up to 120.
class TestExactFisher final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { installStartupCodec(); }
    void everySmallTable();
    void sampleOfLargerTables();

private:
    void check(const FourfoldCounts &cells);
    const StatEngine engine;
    int checked = 0;
};

void TestExactFisher::check(const FourfoldCounts &cells)
{
    const ExactFisher exact = exactFisher(cells);
    const double p = engine.fisherPValue(cells);
    FourfoldVerdicts verdicts;
    engine.fourfoldTest(cells, verdicts);

    const auto where = [&] {
        return QStringLiteral("table %1 %2 %3 %4: p %5, exact %6")
            .arg(cells[0])
            .arg(cells[1])
            .arg(cells[2])
            .arg(cells[3])
            .arg(p, 0, 'g', 17)
            .arg(double(exact.pValue), 0, 'g', 17);
    };
    // Totals this small keep ln n! within a few ulps, so p is good to about 1e-13.
    QVERIFY2(std::fabs(p - exact.pValue) <= 1e-9 * exact.pValue, qPrintable(where()));
    QVERIFY2(verdicts[1] == exact.verdict, qPrintable(where()));
    ++checked;
}

void TestExactFisher::everySmallTable()
{
    for (int n = 1; n <= 30; ++n) {
        for (int a = 0; a <= n; ++a) {
            for (int b = 0; a + b <= n; ++b) {
                for (int c = 0; a + b + c <= n; ++c) {
                    const FourfoldCounts cells{a, b, c, n - a - b - c};
                    if (!StatEngine::isUsable(cells))
                        continue;
                    check(cells);
                    if (QTest::currentTestFailed())
                        return;
                }
            }
        }
    }
    QVERIFY(checked > 40000);
}

void TestExactFisher::sampleOfLargerTables()
{
    std::mt19937 random(20261206);
    std::uniform_int_distribution<int> total(31, exactFisherMaxTotal);
    for (int drawn = 0; drawn < 5000;) {
        const int n = total(random);
        std::uniform_int_distribution<int> cut(0, n);
        std::array<int, 3> cuts{cut(random), cut(random), cut(random)};
        std::sort(cuts.begin(), cuts.end());
        const FourfoldCounts cells{cuts[0], cuts[1] - cuts[0], cuts[2] - cuts[1], n - cuts[2]};
        if (!StatEngine::isUsable(cells))
            continue;
        check(cells);
        if (QTest::currentTestFailed())
            return;
        ++drawn;
    }
}

QTEST_APPLESS_MAIN(TestExactFisher)
#include "test_exactfisher.moc"
