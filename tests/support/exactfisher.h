#pragma once

#include "statengine.h"

// Fisher's two-sided test computed exactly: integer hypergeometric weights, exact
// ties and exact comparisons with the levels. Independent of the engine's code.
struct ExactFisher
{
    long double pValue;
    QString verdict;
};

// Largest grand total the exact computation supports.
constexpr int exactFisherMaxTotal = 120;

// Needs a usable table with a grand total of at most exactFisherMaxTotal.
ExactFisher exactFisher(const FourfoldCounts &cells);
