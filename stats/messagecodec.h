// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The program's own messages are stored as Windows-1251 (CP1251) byte literals. Start-up
// installs the decoding of that code page; the form's UTF-8 texts never pass here.
namespace MessageCodec {

// Decodes messages as Windows-1251 from now on, as start-up does. Before that they read
// as Latin-1.
void installCp1251();

// Decodes one message literal, up to its terminating zero.
QString decode(const char *literal);

} // namespace MessageCodec
