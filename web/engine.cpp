// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The web page's entry into the engine, in C: the engine's own rules for what a field takes
// and which tables it tests; four counts in, the method and both verdicts out, as the
// program's own CP1251 messages, which the page decodes as it shows them.
#include "messages.h"
#include "statengine.h"

namespace {

// A calculation's result, read by the page from the module's memory.
struct FourfoldResult
{
    // 1 when the chi-square verdict applies, 0 when Fisher's does.
    int chiSquare;
    // "Хи-квадрат с поправкой Йейтса" or "Точный метод Фишера".
    const char *method;
    // The Yates chi-square verdict and Fisher's.
    const char *verdicts[2];
};

const StatEngine engine;
FourfoldResult result;

} // namespace

extern "C" {

// The texts shown in place of the method and the verdict while the tests run.
extern __attribute__((used))
const char *const tabulon_waiting[2] = {Messages::waitMethod, Messages::waitVerdict};

// The largest count a field takes.
extern __attribute__((used)) const int tabulon_max_count = StatEngine::maxCount;

// 1 for a table that the tests are defined on, 0 for one that is not.
__attribute__((used)) int tabulon_usable(int a, int b, int c, int d)
{
    return StatEngine::isUsable({a, b, c, d}) ? 1 : 0;
}

// Runs both tests on the table a, b, c, d, which the page passes only when it is usable.
__attribute__((used)) const FourfoldResult *tabulon_fourfold(int a, int b, int c, int d)
{
    FourfoldMessages verdicts;
    result.chiSquare = engine.fourfoldTest({a, b, c, d}, verdicts);
    result.method = result.chiSquare ? Messages::chiSquareMethod : Messages::fisherMethod;
    result.verdicts[0] = verdicts[0];
    result.verdicts[1] = verdicts[1];
    return &result;
}
}
