// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// What the desktop's engine gives for each table "a b c d" read from standard input, one
// tab-separated line each: the table, whether the chi-square verdict applies (1 or 0), both
// verdicts, and for a usable table the bits of the Fisher and the Yates p-values. The web
// page's check compares its engine with it.
#include "messagecodec.h"
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
    MessageCodec::installCp1251();
    const StatEngine engine;
    FourfoldCounts t;
    while (std::scanf("%d %d %d %d", &t[0], &t[1], &t[2], &t[3]) == 4) {
        FourfoldVerdicts verdicts;
        const bool chiSquare = engine.fourfoldTest(t, verdicts);
        std::printf("%d %d %d %d\t%d\t%s\t%s", t[0], t[1], t[2], t[3], chiSquare,
                    verdicts[0].toUtf8().constData(), verdicts[1].toUtf8().constData());
        if (StatEngine::isUsable(t)) {
            printBits(engine.fisherPValue(t));
            printBits(engine.chiSquareTail1(engine.yatesChiSquare(t)));
        }
        std::printf("\n");
    }
}
