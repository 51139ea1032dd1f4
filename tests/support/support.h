// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "messagecodec.h"
#include "statengine.h"

#include <QFile>
#include <QTest>

#include <algorithm>
#include <cmath>

// The lines of a tab-separated file in tests/data, split into fields, less comments.
inline QList<QStringList> readData(const char *file)
{
    QFile data(QStringLiteral(TABULON_DATA_DIR "/") + file);
    if (!data.open(QIODevice::ReadOnly | QIODevice::Text))
        qFatal("cannot read %s", qPrintable(data.fileName()));
    QList<QStringList> lines;
    while (!data.atEnd()) {
        const QString line = QString::fromUtf8(data.readLine()).chopped(1);
        if (!line.startsWith('#'))
            lines.append(line.split('\t'));
    }
    return lines;
}

// Adds the examples of one kind from tests/data/examples.tsv as data rows, named as
// there, with the rest of each line in the column "f".
inline void addExamples(const char *kind)
{
    QTest::addColumn<QStringList>("f");
    for (QStringList fields : readData("examples.tsv"))
        if (fields.takeFirst() == QLatin1String(kind))
            QTest::newRow(qPrintable(fields.takeFirst())) << fields;
}

// Fisher's two-sided p-value summed over every table of the range, in increasing order of
// the first cell, with the engine's tie rule and the given ln n!. Needs a usable table.
template <typename LnFactorial>
double referenceFisherPValue(const FourfoldCounts &t, LnFactorial lnF)
{
    const int r1 = t[0] + t[1], r2 = t[2] + t[3], c1 = t[0] + t[2], c2 = t[1] + t[3];
    const double k = lnF(r1) + lnF(r2) + lnF(c1) + lnF(c2) - lnF(r1 + r2);
    const auto probability = [&](int x) {
        return std::exp(k - lnF(x) - lnF(r1 - x) - lnF(c1 - x) - lnF(r2 - c1 + x));
    };
    const double limit = probability(t[0]) * (1.0 + StatEngine::tieTolerance);
    double sum = 0.0;
    for (int x = t[0] - std::min(t[0], t[3]); x <= t[0] + std::min(t[1], t[2]); ++x) {
        const double p = probability(x);
        sum += p <= limit ? p : 0.0;
    }
    return sum;
}
