// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>

// Declared only: the engine's numerics build without Qt (for the web page too); the texts
// of its verdicts, in statengine_qt.cpp, need it.
class QString;

// The counts a, b, c, d of a fourfold table: rows (a, b) and (c, d), columns (a, c) and (b, d).
using FourfoldCounts = std::array<int, 4>;

// Verdicts on the null hypothesis: index 0 from the Yates chi-square test,
// index 1 from Fisher's exact test.
using FourfoldVerdicts = std::array<QString, 2>;
// The same verdicts as the program's own CP1251 messages (Messages::verdicts).
using FourfoldMessages = std::array<const char *, 2>;

// Numerical routines of the test for association in a fourfold table. A plain
// value: four constants, no other state, every operation a function of its arguments.
class StatEngine
{
public:
    // The largest count a cell may hold.
    static constexpr int maxCount = 999999;
    // Tables whose probability is within this relative amount of the observed table's
    // count as equally probable in Fisher's test. Log-factorials of totals near four
    // million carry rounding noise far above any absolute tolerance.
    static constexpr double tieTolerance = 1e-7;

    const double pi = 3.141592653589793;
    const double twoPi = 6.283185307179586;
    const double lnTwoPi = 1.8378770664093453;
    const double halfPi = 1.5707963267948966;

    // ln(n!), 0 for n <= 1: an exact product up to 16, Stirling's series above.
    double lnFactorial(int n) const;

    // Q(x, df): probability that a chi-square variable with df degrees of freedom exceeds x.
    double chiSquareTail(double x, int df) const;
    // Q(x, 1), the p-value of a chi-square statistic with one degree of freedom.
    double chiSquareTail1(double x) const;
    // 2·P(Z > |z|) for a standard normal Z.
    double normalTwoTail(double z) const;

    // One cell's contribution to the corrected chi-square statistic.
    double yatesTerm(double observed, double expected, double correction) const;

    // True for a table the tests are defined on: counts 0..maxCount, no empty row or column.
    static bool isUsable(const FourfoldCounts &cells);
    // True when every expected frequency of a usable table is at least 5, so the
    // chi-square test applies.
    static bool chiSquareApplies(const FourfoldCounts &cells);

    // Two-sided Fisher p-value: the total probability of the tables with the observed
    // margins that are no more probable than the observed one. NaN for a table that
    // is not usable.
    double fisherPValue(const FourfoldCounts &cells) const;
    // Pearson's chi-square statistic with Yates' continuity correction. NaN for a
    // table that is not usable.
    double yatesChiSquare(const FourfoldCounts &cells) const;

    // Runs both tests, fills both verdicts and returns whether the chi-square verdict
    // (index 0) applies rather than Fisher's (index 1). A table that is not usable gets
    // two empty verdicts and false.
    bool fourfoldTest(const FourfoldCounts &cells, FourfoldVerdicts &verdicts) const;
    // The same, with the verdicts as messages, empty ones for a table that is not usable.
    bool fourfoldTest(const FourfoldCounts &cells, FourfoldMessages &verdicts) const;

    // Grades a p-value at the levels 0.10, 0.05 and 0.01; a p-value equal to a level
    // is rejected at that level.
    QString verdictText(double p) const;
    // The same grade as the message that verdictText decodes.
    const char *verdictMessage(double p) const;
};
