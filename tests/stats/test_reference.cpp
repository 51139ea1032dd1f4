#include "counts.h"
#include "statengine.h"
#include "texts.h"

#include <QFile>
#include <QTest>

#include <cfloat>
#include <cmath>

// The engine against p-values computed by R (fisher.test, and chisq.test with
// Yates' correction) for about 3,000 tables of every kind and magnitude; the data
// file is made by tools/reference/make_reference.sh.

namespace {

struct Row
{
    FourfoldCounts cells;
    QString kind;
    double fisher;
    double chiSquare;
};

QString describe(const FourfoldCounts &t)
{
    return QStringLiteral("%1 %2 %3 %4").arg(t[0]).arg(t[1]).arg(t[2]).arg(t[3]);
}

QString graded(double p)
{
    if (p > 0.1)
        return Texts::accepted10;
    if (p > 0.05)
        return Texts::rejected10;
    if (p > 0.01)
        return Texts::rejected05;
    return Texts::rejected01;
}

std::array<long double, 4> expectedFrequencies(const FourfoldCounts &t)
{
    const long double r1 = t[0] + t[1], r2 = t[2] + t[3], c1 = t[0] + t[2], c2 = t[1] + t[3];
    const long double n = r1 + r2;
    return {r1 * c1 / n, r1 * c2 / n, r2 * c1 / n, r2 * c2 / n};
}

// Fisher: each table's probability is exp of a sum of ten log-factorials, each up to
// ln n! in size and rounded to half an ulp, so the p-value carries a relative error
// of about 10·ε·ln n! (1e-7 at n = 4e6, 1e-14 for small tables). Below the normal
// range of doubles relative precision is lost; there both must simply be tiny.
double fisherTolerance(const StatEngine &engine, const Row &row)
{
    const int n = row.cells[0] + row.cells[1] + row.cells[2] + row.cells[3];
    return 16 * DBL_EPSILON * std::max(1.0, engine.lnFactorial(n)) * row.fisher + 1e-300;
}

// Chi-square, for a statistic up to 1000 (the series):
// - the engine returns 1 − S with S a sum close to 1, so its absolute error is a few
//   hundred ulps of 1 at worst (measured 4e-15): 2e-14;
// - the statistic itself is known to about 1e-13 relative for counts in the
//   millions, and Q(x, 1) ≈ e^(−x/2) turns that into x/2 · 1e-13 ≤ 5e-11 relative;
// - near a statistic of 0 the tail falls like √x, so the reference's own rounding of
//   |O − E| (up to 2ε·E_max per cell, shifting its statistic by up to
//   4·(2ε·E_max)²/E_min) moves its p-value by up to √(2δ/π), 4e-9 in the data.
double chiSquareTolerance(const Row &row)
{
    const auto e = expectedFrequencies(row.cells);
    const double eMax = double(*std::max_element(e.begin(), e.end()));
    const double eMin = double(*std::min_element(e.begin(), e.end()));
    const double delta = 4 * std::pow(2 * DBL_EPSILON * eMax, 2) / eMin;
    return 2e-14 + 1e-10 * row.chiSquare + std::sqrt(2 * delta / M_PI);
}

// Rows whose two verdicts may differ: the reference p-value lies within the stated
// tolerance of a level (or exactly on it), so neither computation can decide.
struct Exception
{
    FourfoldCounts cells;
    bool fisher; // which test's verdict
    const char *reason;
};

const Exception exceptions[] = {
    // Fisher p-values exactly equal to a level: the exact verdict is the rejection
    // there, which the engine gives (it grades p within 1e-7 of a level as equal
    // to it); R's floating-point sum comes out a few ulps above the level.
    {{1, 0, 0, 9}, true, "exact p-value 1/10; R's sum lands above it"},
    {{0, 9, 1, 0}, true, "exact p-value 1/10; R's sum lands above it"},
    {{0, 1, 9, 0}, true, "exact p-value 1/10; R's sum lands above it"},
    {{9, 0, 0, 1}, true, "exact p-value 1/10; R's sum lands above it"},
    {{14, 5, 0, 2}, true, "exact p-value 1/10; R's sum lands above it"},
    {{2, 2, 12, 0}, true, "exact p-value 1/20; R's sum lands above it"},
    {{19, 0, 4, 2}, true, "exact p-value 1/20; R's sum lands above it"},
    {{4, 2, 19, 0}, true, "exact p-value 1/20; R's sum lands above it"},
};

} // namespace

class TestReference final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void methodFlag();
    void chiSquarePValues();
    void fisherPValues();
    void verdicts();

private:
    const StatEngine engine;
    QList<Row> rows;
    QString rVersion;
};

void TestReference::initTestCase()
{
    installStartupCodec();
    QFile file(QStringLiteral(TABULON_REFERENCE_FILE));
    QVERIFY2(file.open(QIODevice::ReadOnly | QIODevice::Text), qPrintable(file.fileName()));
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1String("# R version")))
            rVersion = line.mid(2);
        if (line.isEmpty() || line.startsWith('#') || line.startsWith(QLatin1String("a\t")))
            continue;
        const QStringList f = line.split('\t');
        QCOMPARE(f.size(), 7);
        rows.append({{f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()},
                     f[4],
                     f[5].toDouble(),
                     f[6].toDouble()});
    }
    QVERIFY(!rVersion.isEmpty());
    QVERIFY(rows.size() >= 2900);
    qInfo("%lld tables from %s", qlonglong(rows.size()), qPrintable(rVersion));
}

void TestReference::methodFlag()
{
    for (const Row &row : rows) {
        const auto e = expectedFrequencies(row.cells);
        const bool allAtLeastFive =
            std::all_of(e.begin(), e.end(), [](long double v) { return v >= 5; });
        QVERIFY2(StatEngine::chiSquareApplies(row.cells) == allAtLeastFive,
                 qPrintable(describe(row.cells)));
    }
}

void TestReference::chiSquarePValues()
{
    for (const Row &row : rows) {
        const double statistic = engine.yatesChiSquare(row.cells);
        const double p = engine.chiSquareTail1(statistic);
        const QString where = QStringLiteral("%1: X2 %2, p %3, R %4")
                                  .arg(describe(row.cells))
                                  .arg(statistic, 0, 'g', 17)
                                  .arg(p, 0, 'g', 17)
                                  .arg(row.chiSquare, 0, 'g', 17);
        if (statistic > 1000.0) {
            // Wilson–Hilferty: relatively far off, but both far below every level.
            QVERIFY2(p < 1e-80 && row.chiSquare < 1e-80, qPrintable(where));
            continue;
        }
        QVERIFY2(std::fabs(p - row.chiSquare) <= chiSquareTolerance(row), qPrintable(where));
    }
}

void TestReference::fisherPValues()
{
    for (const Row &row : rows) {
        const double p = engine.fisherPValue(row.cells);
        QVERIFY2(std::fabs(p - row.fisher) <= fisherTolerance(engine, row),
                 qPrintable(QStringLiteral("%1: p %2, R %3")
                                .arg(describe(row.cells))
                                .arg(p, 0, 'g', 17)
                                .arg(row.fisher, 0, 'g', 17)));
    }
}

void TestReference::verdicts()
{
    const auto listed = [](const Row &row, bool fisher) {
        return std::any_of(std::begin(exceptions), std::end(exceptions), [&](const Exception &e) {
            return e.cells == row.cells && e.fisher == fisher;
        });
    };
    const auto nearLevel = [](double p, double tolerance) {
        const std::array<double, 3> levels{0.1, 0.05, 0.01};
        return std::any_of(levels.begin(), levels.end(), [&](double level) {
            return std::fabs(p - level) <= std::max(tolerance, 1e-7 * level);
        });
    };

    QStringList unexplained;
    for (const Row &row : rows) {
        FourfoldVerdicts ours;
        engine.fourfoldTest(row.cells, ours);
        const bool fisherDiffers = ours[1] != graded(row.fisher);
        const bool chiDiffers = ours[0] != graded(row.chiSquare);
        if (fisherDiffers && !listed(row, true))
            unexplained << QStringLiteral("fisher %1: R p %2")
                               .arg(describe(row.cells))
                               .arg(row.fisher, 0, 'g', 17);
        if (chiDiffers && !listed(row, false))
            unexplained << QStringLiteral("chi %1: R p %2")
                               .arg(describe(row.cells))
                               .arg(row.chiSquare, 0, 'g', 17);
    }
    QVERIFY2(unexplained.isEmpty(), qPrintable(unexplained.join('\n')));

    // Every listed exception is a real one: in the data, and its p-value at a level.
    for (const Exception &e : exceptions) {
        const auto row = std::find_if(rows.begin(), rows.end(),
                                      [&](const Row &r) { return r.cells == e.cells; });
        QVERIFY2(row != rows.end(), qPrintable(describe(e.cells)));
        const double p = e.fisher ? row->fisher : row->chiSquare;
        const double tolerance =
            e.fisher ? fisherTolerance(engine, *row) : chiSquareTolerance(*row);
        QVERIFY2(nearLevel(p, tolerance), qPrintable(describe(e.cells)));
    }
}

QTEST_APPLESS_MAIN(TestReference)
#include "test_reference.moc"
