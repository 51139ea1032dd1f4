// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "statengine.h"

#include "messages.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Significance levels, loosest first.
constexpr double levels[] = {0.1, 0.05, 0.01};

// A Fisher p-value this close (relatively) to a level is taken as equal to it: exact
// p-values such as 1/10 come out of the floating-point sum a few ulps either side,
// and the sum is accurate to about 2e-8 at worst, so nothing closer can be told apart.
constexpr double levelTolerance = 1e-7;

constexpr double inf = std::numeric_limits<double>::infinity();

struct Margins
{
    int r1, r2, c1, c2, n;
};

Margins marginsOf(const FourfoldCounts &cells)
{
    const auto [a, b, c, d] = cells;
    return {a + b, c + d, a + c, b + d, a + b + c + d};
}

// Expected frequencies under independence, each product of totals formed in
// floating point (it can exceed the int range).
std::array<double, 4> expectedFrequencies(const Margins &m)
{
    const double r1 = m.r1, r2 = m.r2, c1 = m.c1, c2 = m.c2, n = m.n;
    return {r1 * c1 / n, r1 * c2 / n, r2 * c1 / n, r2 * c2 / n};
}

double snapToLevel(double p)
{
    for (const double level : levels) {
        if (std::fabs(p - level) <= levelTolerance * level)
            return level;
    }
    return p;
}

} // namespace

double StatEngine::lnFactorial(int n) const
{
    if (n <= 1)
        return 0.0;
    if (n <= 16) {
        // Exact: 16! is below 2^53.
        double product = n;
        for (int k = n - 1; k >= 2; --k)
            product *= k;
        return std::log(product);
    }
    const double x = n;
    const double lnX = std::log(x);
    double result = (x + 0.5) * lnX - x;
    result = result + 0.5 * lnTwoPi;
    result = result + 1.0 / (12.0 * x);
    // Powers by multiplication: cheaper than pow, and where the two could round
    // differently the correction terms are far below the last bit of the result.
    const double x3 = x * x * x;
    const double x5 = x3 * x * x;
    const double x7 = x5 * x * x;
    result = result + 1.0 / (-360.0 * x3);
    result = result + 1.0 / (1260.0 * x5);
    return result + 1.0 / (-1680.0 * x7);
}

double StatEngine::chiSquareTail(double x, int df) const
{
    if (x > 1000.0 || df > 1000) {
        // Wilson–Hilferty: the cube root of x/df is nearly normal.
        const double v = 2.0 / (9.0 * df);
        const double cubeRoot = std::pow(x / df, 0.3333333333333333);
        const double z = ((cubeRoot + v) - 1.0) / std::sqrt(v);
        const double r = normalTwoTail(z);
        return x > double(df) ? 0.5 * r : 1.0 - 0.5 * r;
    }

    // Series for the distribution function P(df/2, x/2), from its first term.
    double term = std::exp(-0.5 * x);
    if (df % 2 == 1)
        term = term * std::sqrt((x + x) / pi);
    for (int k = df; k > 1; k -= 2)
        term = (term * x) / k;

    double sum = term;
    double u = term;
    double k = df;
    while (u > 1e-15 * sum) {
        k = k + 2;
        u = (u * x) / k;
        sum = sum + u;
    }
    return 1.0 - sum;
}

double StatEngine::chiSquareTail1(double x) const
{
    return chiSquareTail(x, 1);
}

double StatEngine::normalTwoTail(double z) const
{
    const double a = std::fabs(z);
    const double s = z * z;
    if (a > 7.0) {
        const double bracket = ((-1.0 / s) + 1.0) + 3.0 / (s * s);
        return std::exp(-0.5 * s) * bracket / (a * std::sqrt(halfPi));
    }
    // P(chi-square(1) > z²) = P(|Z| > |z|).
    return chiSquareTail(s, 1);
}

double StatEngine::yatesTerm(double observed, double expected, double correction) const
{
    if (expected == 0.0)
        return 0.0;
    const double t = std::fabs(observed - expected) - correction;
    if (t < 0)
        return 0.0;
    return t * t / expected;
}

bool StatEngine::isUsable(const FourfoldCounts &cells)
{
    for (const int count : cells) {
        if (count < 0 || count > maxCount)
            return false;
    }
    const Margins m = marginsOf(cells);
    return m.r1 > 0 && m.r2 > 0 && m.c1 > 0 && m.c2 > 0;
}

bool StatEngine::chiSquareApplies(const FourfoldCounts &cells)
{
    if (!isUsable(cells))
        return false;
    const auto expected = expectedFrequencies(marginsOf(cells));
    return std::none_of(expected.begin(), expected.end(), [](double e) { return e < 5.0; });
}

double StatEngine::fisherPValue(const FourfoldCounts &cells) const
{
    if (!isUsable(cells))
        return std::numeric_limits<double>::quiet_NaN();
    const auto [a, b, c, d] = cells;
    const Margins m = marginsOf(cells);
    // ln(r1! r2! c1! c2! / n!), shared by every table with these margins.
    const double k = lnFactorial(m.r1) + lnFactorial(m.r2) + lnFactorial(m.c1) + lnFactorial(m.c2) -
                     lnFactorial(m.n);
    // Hypergeometric probability of the table whose first cell is x.
    const auto probability = [&](int x) {
        return std::exp(k - lnFactorial(x) - lnFactorial(m.r1 - x) - lnFactorial(m.c1 - x) -
                        lnFactorial(m.r2 - m.c1 + x));
    };

    const double observed = probability(a);
    // An observed probability below the double range counts only tables of
    // probability 0.0, which add nothing.
    if (observed == 0.0)
        return 0.0;
    const double limit = observed * (1.0 + tieTolerance);
    const int lo = a - std::min(a, d);
    const int hi = a + std::min(b, c);

    // The range can hold two million tables, but away from the most probable one
    // their probabilities fall off so fast that exp gives exactly 0.0 beyond a few
    // dozen standard deviations. Adding 0.0 changes no sum, and neither does adding
    // a term below half an ulp of the sum, so summing from the first non-zero
    // probability until the terms past the mode stop counting, in increasing order
    // of x, gives the same bits as summing the whole range.
    const double modeEstimate = (m.r1 + 1.0) * (m.c1 + 1.0) / (m.n + 2.0);
    const int mode = std::clamp(static_cast<int>(modeEstimate), lo, hi);

    // The probabilities rise up to the mode: search for the first non-zero one.
    int first = lo;
    if (probability(lo) == 0.0) {
        int zero = lo, nonZero = mode; // probability(zero) == 0 < probability(nonZero)
        while (nonZero - zero > 1) {
            const int middle = zero + (nonZero - zero) / 2;
            (probability(middle) == 0.0 ? zero : nonZero) = middle;
        }
        first = nonZero;
    }

    double sum = 0.0;
    for (int x = first; x <= hi; ++x) {
        const double p = probability(x);
        // Past the mode the probabilities only fall. Once one is below half the gap
        // to the next double above the sum, adding it leaves the sum as it is, and
        // so does adding any later one. (Doubling p, not halving the gap: half the
        // gap above 0 would round to 0.)
        if (x > mode && 2.0 * p < std::nextafter(sum, inf) - sum)
            break;
        if (p <= limit)
            sum += p;
    }
    return sum;
}

double StatEngine::yatesChiSquare(const FourfoldCounts &cells) const
{
    if (!isUsable(cells))
        return std::numeric_limits<double>::quiet_NaN();
    const auto [a, b, c, d] = cells;
    const auto [ea, eb, ec, ed] = expectedFrequencies(marginsOf(cells));
    return yatesTerm(a, ea, 0.5) + yatesTerm(b, eb, 0.5) + yatesTerm(c, ec, 0.5) +
           yatesTerm(d, ed, 0.5);
}

bool StatEngine::fourfoldTest(const FourfoldCounts &cells, FourfoldMessages &verdicts) const
{
    if (!isUsable(cells)) {
        verdicts = {"", ""};
        return false;
    }
    verdicts[1] = verdictMessage(snapToLevel(fisherPValue(cells)));
    const bool chiSquare = chiSquareApplies(cells);
    verdicts[0] = verdictMessage(chiSquareTail1(yatesChiSquare(cells)));
    return chiSquare;
}

const char *StatEngine::verdictMessage(double p) const
{
    // Accepted above 0.10, else rejected at the strictest level p does not exceed; a NaN
    // exceeds none.
    int grade = 0;
    while (grade < 3 && !(p > levels[grade]))
        ++grade;
    return Messages::verdicts[grade];
}
