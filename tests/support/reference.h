#pragma once

#include "statengine.h"

// Straightforward transcriptions of the engine's arithmetic, kept to check the
// engine's faster forms bit for bit and to time them against it.

// ln n! with the powers of the series taken by pow.
double referenceLnFactorial(const StatEngine &engine, int n);

// Which ln n! the reference Fisher sum calls: the engine's, or the pow form above
// (the two agree bit for bit; the pow form is slower).
enum class LnFactorialForm
{
    Engine,
    Pow
};

// Fisher's two-sided p-value summed over every table of the range, in increasing
// order of the first cell, with the engine's tie rule. Needs a usable table.
double referenceFisherPValue(const StatEngine &engine, const FourfoldCounts &cells,
                             LnFactorialForm form = LnFactorialForm::Engine);
