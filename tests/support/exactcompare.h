#pragma once

#include <QString>
#include <QTest>

// Compares two doubles for equality to the last bit; QCOMPARE on doubles is fuzzy.
#define COMPARE_EXACT(actual, expected)                                                            \
    QVERIFY2((actual) == (expected), qPrintable(QStringLiteral("%1 != %2")                         \
                                                    .arg(double(actual), 0, 'g', 17)               \
                                                    .arg(double(expected), 0, 'g', 17)))
