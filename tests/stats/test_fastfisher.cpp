#include "counts.h"
#include "exactcompare.h"
#include "reference.h"
#include "statengine.h"

#include <QTest>

#include <cmath>
#include <random>

// The engine's fast forms against their straightforward transcriptions, bit for bit.
class TestFastFisher final : public QObject
{
    Q_OBJECT

private slots:
    void lnFactorialMatchesPowForm();
    void largestTables_data();
    void largestTables();
    void randomSample();
};

void TestFastFisher::lnFactorialMatchesPowForm()
{
    // Every argument the Fisher test can pass: up to the largest grand total.
    const StatEngine engine;
    for (int n = 17; n <= 4 * StatEngine::maxCount; ++n) {
        if (engine.lnFactorial(n) != referenceLnFactorial(engine, n))
            QFAIL(qPrintable(QStringLiteral("ln %1! differs").arg(n)));
    }
}

void TestFastFisher::largestTables_data()
{
    QTest::addColumn<FourfoldCounts>("cells");
    QTest::newRow("999999 in every cell") << FourfoldCounts{999999, 999999, 999999, 999999};
    QTest::newRow("unbalanced, observed in the far tail") << FourfoldCounts{3, 999996, 5, 999994};
    QTest::newRow("strong association") << FourfoldCounts{999999, 400000, 300000, 999999};
    QTest::newRow("near the lower end of the range") << FourfoldCounts{0, 999999, 999999, 1};
    QTest::newRow("observed probability below the double range")
        << FourfoldCounts{0, 999999, 999999, 999999};
}

void TestFastFisher::largestTables()
{
    QFETCH(FourfoldCounts, cells);
    const StatEngine engine;
    COMPARE_EXACT(engine.fisherPValue(cells), referenceFisherPValue(engine, cells));
}

namespace {

// Draws tables of every kind the window lets through, most with a range small
// enough that the full-range reference stays cheap.
class TableSampler
{
public:
    FourfoldCounts next()
    {
        for (;;) {
            const FourfoldCounts cells = draw();
            // Keep one in fifty of the tables with wide ranges: each costs the
            // reference up to two million terms.
            if (StatEngine::isUsable(cells) && (rangeSize(cells) <= 50000 || uniform(0, 49) == 0))
                return cells;
        }
    }

    static long long rangeSize(const FourfoldCounts &cells)
    {
        return std::min(cells[0], cells[3]) + std::min(cells[1], cells[2]) + 1LL;
    }

private:
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); }
    // Spread over every magnitude from 0 to maxCount.
    int anyMagnitude()
    {
        const double power = std::uniform_real_distribution<double>(0.0, 6.0)(random);
        return std::min(StatEngine::maxCount, static_cast<int>(std::pow(10.0, power)) - 1);
    }

    FourfoldCounts draw()
    {
        switch (uniform(0, 6)) {
        case 0: // tiny
            return {uniform(0, 10), uniform(0, 10), uniform(0, 10), uniform(0, 10)};
        case 1: { // zeros in one or two cells
            FourfoldCounts cells{anyMagnitude(), anyMagnitude(), anyMagnitude(), anyMagnitude()};
            cells[uniform(0, 3)] = 0;
            if (uniform(0, 1))
                cells[uniform(0, 3)] = 0;
            return cells;
        }
        case 2: { // symmetric: each table ties its mirror image
            const int a = anyMagnitude(), b = uniform(0, 300);
            return {a, b, b, a};
        }
        case 3: { // equal row totals
            const int r = anyMagnitude(), a = uniform(0, r), c = uniform(0, r);
            return {a, r - a, c, r - c};
        }
        case 4: { // near the expected-5 boundary
            const int a = uniform(0, 12), b = uniform(0, 12);
            return {a, b, uniform(0, 40), uniform(0, 40)};
        }
        case 5: // large counts with one thin row or column
            return {anyMagnitude(), uniform(0, 50), anyMagnitude(), anyMagnitude()};
        default:
            return {anyMagnitude(), anyMagnitude(), anyMagnitude(), anyMagnitude()};
        }
    }

    std::mt19937 random{4242};
};

} // namespace

void TestFastFisher::randomSample()
{
    const StatEngine engine;
    TableSampler sampler;
    long long weighed = 0;
    for (int i = 0; i < 10000; ++i) {
        const FourfoldCounts cells = sampler.next();
        const double fast = engine.fisherPValue(cells);
        const double full = referenceFisherPValue(engine, cells);
        if (fast != full)
            QFAIL(qPrintable(QStringLiteral("%1 %2 %3 %4: %5 vs %6")
                                 .arg(cells[0])
                                 .arg(cells[1])
                                 .arg(cells[2])
                                 .arg(cells[3])
                                 .arg(fast, 0, 'g', 17)
                                 .arg(full, 0, 'g', 17)));
        weighed += TableSampler::rangeSize(cells);
    }
    qInfo("full range weighed %lld tables", weighed);
}

QTEST_APPLESS_MAIN(TestFastFisher)
#include "test_fastfisher.moc"
