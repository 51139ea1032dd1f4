#include "exactfisher.h"

#include "texts.h"

#include <vector>

namespace {

__extension__ typedef unsigned __int128 Exact;

// Pascal's triangle; C(120, 60) ≈ 9.7e34 and a hundred times it fit in 128 bits.
const std::vector<std::vector<Exact>> &binomials()
{
    static const auto table = [] {
        std::vector<std::vector<Exact>> rows(exactFisherMaxTotal + 1);
        for (int n = 0; n <= exactFisherMaxTotal; ++n) {
            rows[n].assign(n + 1, 1);
            for (int k = 1; k < n; ++k)
                rows[n][k] = rows[n - 1][k - 1] + rows[n - 1][k];
        }
        return rows;
    }();
    return table;
}

} // namespace

ExactFisher exactFisher(const FourfoldCounts &cells)
{
    const auto [a, b, c, d] = cells;
    const int r1 = a + b, c1 = a + c, c2 = b + d;
    const auto &choose = binomials();
    // Weight of the table with first cell x: C(c1, x)·C(c2, r1 − x); they sum to C(n, r1).
    const auto weight = [&](int x) -> Exact {
        if (x < 0 || x > c1 || r1 - x < 0 || r1 - x > c2)
            return 0;
        return choose[c1][x] * choose[c2][r1 - x];
    };

    const Exact observed = weight(a);
    Exact total = 0, tail = 0;
    for (int x = 0; x <= r1; ++x) {
        const Exact w = weight(x);
        total += w;
        if (w <= observed)
            tail += w;
    }

    ExactFisher result;
    result.pValue = static_cast<long double>(tail) / static_cast<long double>(total);
    if (10 * tail > total)
        result.verdict = Texts::accepted10;
    else if (20 * tail > total)
        result.verdict = Texts::rejected10;
    else if (100 * tail > total)
        result.verdict = Texts::rejected05;
    else
        result.verdict = Texts::rejected01;
    return result;
}
