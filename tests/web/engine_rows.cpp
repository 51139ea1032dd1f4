// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What the engine gives for each table "a b c d" read from standard input, one tab-separated
// line each: the table, whether the chi-square verdict applies (1 or 0), both verdicts as
// the program's own Windows-1251 messages, and for a usable table the bits of the Fisher
// and the Yates p-values. No Qt, so that it builds for any CPU: the web page's check and
// the check on every architecture compare their engines with it.
#include "statengine.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

static void printBits(double p)
{
    std::uint64_t bits;
    std::memcpy(&bits, &p, sizeof bits);
    std::printf("\t%016" PRIx64, bits);
}

int main()
{
    const StatEngine engine;
    FourfoldCounts t;
    while (std::scanf("%d %d %d %d", &t[0], &t[1], &t[2], &t[3]) == 4) {
        FourfoldMessages verdicts;
        const bool chiSquare = engine.fourfoldTest(t, verdicts);
        std::printf("%d %d %d %d\t%d\t%s\t%s", t[0], t[1], t[2], t[3], chiSquare, verdicts[0],
                    verdicts[1]);
        if (StatEngine::isUsable(t)) {
            printBits(engine.fisherPValue(t));
            printBits(engine.chiSquareTail1(engine.yatesChiSquare(t)));
        }
        std::printf("\n");
    }
}
