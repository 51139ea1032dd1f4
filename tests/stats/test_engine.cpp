#include "support.h"

#include <cfloat>
#include <cstdint>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

const StatEngine engine;

double fullRangeSum(const FourfoldCounts &t)
{
    return referenceFisherPValue(t, [](int n) { return engine.lnFactorial(n); });
}

bool closeTo(double actual, double expected, double tolerance)
{
    return std::isnan(expected) ? std::isnan(actual) : std::fabs(actual - expected) <= tolerance;
}

// Fisher's test in integers: the table with first cell x weighs C(c1, x)·C(c2, r1 − x).
// Gives the grade of the exact p-value (accepted at 0.10, rejected at 0.10, 0.05, 0.01) and
// the p-value. For counts up to 15 the total weight is at most C(60, 30), and 100 times it
// still fits in 64 bits, on every architecture.
std::pair<int, long double> exactFisher(const FourfoldCounts &t)
{
    using Exact = std::uint64_t;
    const auto choose = [](int n, int k) {
        Exact c = 1;
        for (int i = 0; i < k; ++i)
            c = c * (n - i) / (i + 1);
        return c;
    };
    const int r1 = t[0] + t[1], c1 = t[0] + t[2], c2 = t[1] + t[3];
    const auto weight = [&](int x) {
        return x > c1 || r1 - x > c2 ? 0 : choose(c1, x) * choose(c2, r1 - x);
    };
    Exact total = 0, tail = 0;
    for (int x = 0; x <= r1; ++x) {
        total += weight(x);
        tail += weight(x) <= weight(t[0]) ? weight(x) : 0;
    }
    int grade = 0; // one up for each level the p-value does not exceed
    for (const int inverse : {10, 20, 100})
        grade += inverse * tail <= total;
    return {grade, static_cast<long double>(tail) / static_cast<long double>(total)};
}

// One Windows-1251 byte as the system's own converter reads it (glibc's iconv, or
// Windows'), U+FFFD where the code page assigns nothing: iconv refuses such a byte,
// Windows passes it through as a C1 control.
QChar systemCp1251(char byte)
{
    char16_t unit = 0;
#ifdef Q_OS_WIN
    wchar_t wide = 0;
    if (MultiByteToWideChar(1251, 0, &byte, 1, &wide, 1) == 1)
        unit = char16_t(wide);
#else
    const iconv_t converter = iconv_open("UTF-16LE", "CP1251");
    char *in = &byte, *out = reinterpret_cast<char *>(&unit);
    size_t inLeft = 1, outLeft = sizeof unit;
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1))
        unit = 0;
    iconv_close(converter);
#endif
    return unit == 0 || (unit >= 0x80 && unit < 0xA0) ? QChar(QChar::ReplacementCharacter)
                                                      : QChar(unit);
}

} // namespace

// The engine: documented values, small tables against exact integer arithmetic, and about
// 3,000 tables against R; the fast forms against the straightforward ones, bit for bit.
class TestEngine final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MessageCodec::installCp1251(); }

    void messagesDecodeAsWindows1251()
    {
        for (int byte = 1; byte < 256; ++byte) {
            const char literal[] = {char(byte), 'a', 0};
            const QString expected = QString(systemCp1251(literal[0])) + 'a';
            QVERIFY2(MessageCodec::decode(literal) == expected,
                     qPrintable(QString::number(byte, 16) + " should read " + expected));
        }
    }

    void values_data() { addExamples("value"); }
    void values()
    {
        QFETCH(QStringList, f);
        const QStringList functions = {"verdictText", "lnFactorial", "normalTwoTail", "yatesTerm",
                                       "chiSquareTail"};
        QVERIFY2(functions.contains(f[0]), qPrintable("no such function: " + f[0]));
        const double x = f[1].toDouble();
        if (f[0] == "verdictText") {
            QCOMPARE(engine.verdictText(x), f[3]);
            return;
        }
        const double value = f[0] == "lnFactorial"     ? engine.lnFactorial(int(x))
                             : f[0] == "normalTwoTail" ? engine.normalTwoTail(x)
                             : f[0] == "yatesTerm"     ? engine.yatesTerm(x, f[2].toDouble(), 0.5)
                                                       : engine.chiSquareTail(x, f[2].toInt());
        QVERIFY2(closeTo(value, f[3].toDouble(), f[4].toDouble()),
                 qPrintable(QString::number(value, 'g', 17)));
    }

    void tables_data() { addExamples("table"); }
    void tables()
    {
        QFETCH(QStringList, f);
        const FourfoldCounts t{f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()};
        FourfoldVerdicts verdicts = {QStringLiteral("stale"), QStringLiteral("stale")};
        QCOMPARE(engine.fourfoldTest(t, verdicts), f[4] == QLatin1String("1"));
        QCOMPARE(verdicts, FourfoldVerdicts({f[6], f[8]}));
        // Small tables keep nearly every digit of p; totals in the millions about eight.
        const double statistic = f[5].toDouble(), p = f[7].toDouble();
        const double x = engine.yatesChiSquare(t), fisher = engine.fisherPValue(t);
        QVERIFY2(closeTo(x, statistic, 1e-12 * (1 + statistic)), qPrintable(QString::number(x)));
        QVERIFY2(closeTo(fisher, p, 1e-7 * p), qPrintable(QString::number(fisher)));
        if (StatEngine::isUsable(t))
            QCOMPARE(fisher, fullRangeSum(t));
    }

    void smallTablesAgreeWithExactArithmetic()
    {
        for (int i = 0; i < 1 << 16; ++i) { // every table with counts up to 15
            const FourfoldCounts t{i & 15, i >> 4 & 15, i >> 8 & 15, i >> 12};
            if (!StatEngine::isUsable(t))
                continue;
            FourfoldVerdicts verdicts;
            engine.fourfoldTest(t, verdicts);
            const auto [exactGrade, exactP] = exactFisher(t);
            const double p = engine.fisherPValue(t);
            // Graded by the engine at p-values that are exactly at the levels, or above them.
            const QString verdict =
                engine.verdictText(std::array{1.0, 0.1, 0.05, 0.01}[exactGrade]);
            QVERIFY2(std::fabs(p - exactP) <= 1e-9 * exactP,
                     qPrintable(describe(t) + ": p " + QString::number(p, 'g', 17)));
            QVERIFY2(verdicts[1] == verdict, qPrintable(describe(t) + ": " + verdicts[1]));
        }
    }

    // p-values from R's fisher.test and chisq.test(correct = TRUE), made by
    // dev/reference.sh.
    void tablesAgreeWithR()
    {
        for (const QStringList &f : readData("reference.tsv").mid(1)) {
            const FourfoldCounts t{f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()};
            const double fisherR = f[5].toDouble(), chiR = f[6].toDouble();
            const long double n = t[0] + t[1] + t[2] + t[3], r1 = t[0] + t[1], c1 = t[0] + t[2];
            const long double e[] = {r1 * c1 / n, r1 * (n - c1) / n, (n - r1) * c1 / n,
                                     (n - r1) * (n - c1) / n};
            const auto [eMin, eMax] = std::minmax_element(e, e + 4);
            // Each Fisher probability is exp of ten log-factorials, each up to ln n! and
            // rounded to half an ulp: a relative error of about 10·ε·ln n!.
            const double p = engine.fisherPValue(t);
            const double lnN = std::max(1.0, engine.lnFactorial(int(n)));
            const double pTolerance = 16 * DBL_EPSILON * lnN * fisherR + 1e-300;
            // Chi-square: 1 − S is good to a few hundred ulps of 1; the statistic to about
            // 1e-13 relative, which e^(−x/2) turns into x/2 · 1e-13; near X² = 0, where the
            // tail falls like √x, R's own rounding of |O − E| moves its p-value by √(2δ/π);
            // past X² = 1000 Wilson–Hilferty is far off, but far below every level.
            const double x = engine.yatesChiSquare(t), q = engine.chiSquareTail1(x);
            const double delta = double(4 * std::pow(2 * DBL_EPSILON * *eMax, 2) / *eMin);
            const double qTolerance = 2e-14 + 1e-10 * chiR + std::sqrt(2 * delta / M_PI);
            // The fast sum gives the very bits of the full range; about one in ten of the
            // ranges of more than 50,000 tables (up to two million) is summed in full to show it.
            const int range = std::min(t[0], t[3]) + std::min(t[1], t[2]);
            const QString table = describe(t);
            QVERIFY2(StatEngine::chiSquareApplies(t) == (*eMin >= 5), qPrintable(table));
            QVERIFY2(std::fabs(p - fisherR) <= pTolerance,
                     qPrintable(table + ": Fisher " + QString::number(p, 'g', 17)));
            QVERIFY2((range > 50000 && t[0] % 10) || p == fullRangeSum(t),
                     qPrintable(table + ": not the full range's sum"));
            QVERIFY2(x > 1000.0 ? q < 1e-80 && chiR < 1e-80 : std::fabs(q - chiR) <= qTolerance,
                     qPrintable(table + ": chi-square " + QString::number(q, 'g', 17)));
        }
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
