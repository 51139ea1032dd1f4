#pragma once

#include "messagecodec.h"

#include <QString>
#include <QTextCodec>

// The texts a user reads, written here as UTF-8 so that tests compare against
// what is shown rather than against the program's own CP1251 literals.
namespace Texts {
inline const QString accepted10 = QStringLiteral("Принимается на уровне 0.10");
inline const QString rejected10 = QStringLiteral("Отвергается на уровне 0.10");
inline const QString rejected05 = QStringLiteral("Отвергается на уровне 0.05");
inline const QString rejected01 = QStringLiteral("Отвергается на уровне 0.01");
inline const QString chiSquareMethod = QStringLiteral("Хи-квадрат с поправкой Йейтса");
inline const QString fisherMethod = QStringLiteral("Точный метод Фишера");
inline const QString waitMethod = QStringLiteral("Ждите...");
inline const QString waitVerdict = QStringLiteral("Идут вычисления");
} // namespace Texts

// Installs the message codec the way start-up does.
inline void installStartupCodec()
{
    MessageCodec::installCp1251();
}
