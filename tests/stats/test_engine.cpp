// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "support.h"

#include <cfloat>

namespace {

const StatEngine engine;

bool closeTo(double actual, double expected, double tolerance)
{
    return std::isnan(expected) ? std::isnan(actual) : std::fabs(actual - expected) <= tolerance;
}

} // namespace

// The engine: documented values, and about 3,000 tables against R; the fast Fisher sum
// against the straightforward one, bit for bit.
class TestEngine final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MessageCodec::installCp1251(); }

    void messagesDecodeAsWindows1251_data() { addExamples("cp1251"); }
    void messagesDecodeAsWindows1251()
    {
        QFETCH(QStringList, f);
        const int size = f[1] == "itself" ? 0x7f : int(f[1].size());
        QByteArray bytes;
        for (int byte = f[0].toInt(nullptr, 16); bytes.size() < size; ++byte)
            bytes += char(byte);
        QCOMPARE(MessageCodec::decode(bytes), f[1] == "itself" ? QString::fromLatin1(bytes) : f[1]);
    }

    void values_data() { addExamples("value"); }
    void values()
    {
        QFETCH(QStringList, f);
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
        QCOMPARE(StatEngine::chiSquareApplies(t), f[4] == QLatin1String("1"));
        QCOMPARE(verdicts, FourfoldVerdicts({f[6], f[8]}));
        // Small tables keep nearly every digit of p; totals in the millions about eight.
        const double statistic = f[5].toDouble(), p = f[7].toDouble();
        const double x = engine.yatesChiSquare(t), fisher = engine.fisherPValue(t);
        QVERIFY2(closeTo(x, statistic, 1e-12 * (1 + statistic)), qPrintable(QString::number(x)));
        QVERIFY2(closeTo(fisher, p, 1e-7 * p), qPrintable(QString::number(fisher)));
    }

    // p-values from R's fisher.test and chisq.test(correct = TRUE), made by
    // dev/reference.sh, each row named by its table.
    void tablesAgreeWithR_data()
    {
        QTest::addColumn<QStringList>("f");
        for (const QStringList &f : readData("reference.tsv").mid(1))
            QTest::newRow(qPrintable(f.mid(0, 4).join(' '))) << f;
    }
    void tablesAgreeWithR()
    {
        QFETCH(QStringList, f);
        const FourfoldCounts t{f[0].toInt(), f[1].toInt(), f[2].toInt(), f[3].toInt()};
        const double fisherR = f[5].toDouble(), chiR = f[6].toDouble();
        const long double n = t[0] + t[1] + t[2] + t[3], r1 = t[0] + t[1], c1 = t[0] + t[2];
        const long double e[] = {r1 * c1 / n, r1 * (n - c1) / n, (n - r1) * c1 / n,
                                 (n - r1) * (n - c1) / n};
        const auto [eMin, eMax] = std::minmax_element(e, e + 4);
        QCOMPARE(StatEngine::chiSquareApplies(t), *eMin >= 5);
        // Each Fisher probability is exp of ten log-factorials, each up to ln n! and rounded
        // to half an ulp: a relative error of about 10·ε·ln n!.
        const double p = engine.fisherPValue(t);
        const double lnN = std::max(1.0, engine.lnFactorial(int(n)));
        QVERIFY2(std::fabs(p - fisherR) <= 16 * DBL_EPSILON * lnN * fisherR + 1e-300,
                 qPrintable(QString::number(p, 'g', 17)));
        // The fast sum gives the very bits of the full range; about one in ten of the ranges
        // of more than 50,000 tables (up to two million) is summed in full to show it.
        const int range = std::min(t[0], t[3]) + std::min(t[1], t[2]);
        QVERIFY((range > 50000 && t[0] % 10) ||
                p == referenceFisherPValue(t, [](int n) { return engine.lnFactorial(n); }));
        // Chi-square: 1 − S is good to a few hundred ulps of 1; the statistic to about 1e-13
        // relative, which e^(−x/2) turns into x/2 · 1e-13; near X² = 0, where the tail falls
        // like √x, R's own rounding of |O − E| moves its p-value by √(2δ/π); past X² = 1000
        // Wilson–Hilferty is far off, but far below every level.
        const double x = engine.yatesChiSquare(t), q = engine.chiSquareTail1(x);
        const double delta = double(4 * std::pow(2 * DBL_EPSILON * *eMax, 2) / *eMin);
        const double qTolerance = 2e-14 + 1e-10 * chiR + std::sqrt(2 * delta / M_PI);
        QVERIFY2(x > 1000.0 ? q < 1e-80 && chiR < 1e-80 : std::fabs(q - chiR) <= qTolerance,
                 qPrintable(QString::number(q, 'g', 17)));
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "test_engine.moc"
