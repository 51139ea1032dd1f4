#include "reference.h"

#include <algorithm>
#include <cmath>

double referenceLnFactorial(const StatEngine &engine, int n)
{
    if (n <= 16)
        return engine.lnFactorial(n);
    const double x = n;
    double result = (x + 0.5) * std::log(x) - x;
    result = result + 0.5 * engine.lnTwoPi;
    result = result + 1.0 / (12.0 * x);
    result = result + 1.0 / (-360.0 * std::pow(x, 3));
    result = result + 1.0 / (1260.0 * std::pow(x, 5));
    return result + 1.0 / (-1680.0 * std::pow(x, 7));
}

namespace {

template <typename LnFactorial> double fullRangeSum(const FourfoldCounts &cells, LnFactorial lnF)
{
    const auto [a, b, c, d] = cells;
    const int r1 = a + b, r2 = c + d, c1 = a + c, c2 = b + d, n = r1 + r2;
    const double k = lnF(r1) + lnF(r2) + lnF(c1) + lnF(c2) - lnF(n);
    const auto probability = [&](int x) {
        return std::exp(k - lnF(x) - lnF(r1 - x) - lnF(c1 - x) - lnF(r2 - c1 + x));
    };

    const double limit = probability(a) * (1.0 + StatEngine::tieTolerance);
    double sum = 0.0;
    for (int x = a - std::min(a, d); x <= a + std::min(b, c); ++x) {
        const double p = probability(x);
        if (p <= limit)
            sum += p;
    }
    return sum;
}

} // namespace

double referenceFisherPValue(const StatEngine &engine, const FourfoldCounts &cells,
                             LnFactorialForm form)
{
    if (form == LnFactorialForm::Pow)
        return fullRangeSum(cells, [&](int k) { return referenceLnFactorial(engine, k); });
    return fullRangeSum(cells, [&](int k) { return engine.lnFactorial(k); });
}
