// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's verdicts as texts: the program's own messages decoded, for the desktop window.
#include "statengine.h"

#include "messagecodec.h"

#include <QString>

bool StatEngine::fourfoldTest(const FourfoldCounts &cells, FourfoldVerdicts &verdicts) const
{
    FourfoldMessages messages;
    const bool chiSquare = fourfoldTest(cells, messages);
    verdicts = {MessageCodec::decode(messages[0]), MessageCodec::decode(messages[1])};
    return chiSquare;
}

QString StatEngine::verdictText(double p) const
{
    return MessageCodec::decode(verdictMessage(p));
}
