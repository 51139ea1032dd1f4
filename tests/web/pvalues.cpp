// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The web page's engine with its p-values exported, so that the page's check can compare
// them with the desktop's, bit for bit.
#include "statengine.h"

namespace {
const StatEngine engine;
}

extern "C" {

__attribute__((used)) double tabulon_fisher_p(int a, int b, int c, int d)
{
    return engine.fisherPValue({a, b, c, d});
}

__attribute__((used)) double tabulon_yates_p(int a, int b, int c, int d)
{
    return engine.chiSquareTail1(engine.yatesChiSquare({a, b, c, d}));
}
}
