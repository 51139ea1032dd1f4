// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's own messages, stored as Windows-1251 (CP1251) byte strings in this one place:
// the desktop window decodes them through MessageCodec, the web page with the browser's
// decoder. No Qt here, so that the engine builds without it.
namespace Messages {

// "Хи-квадрат с поправкой Йейтса"
inline constexpr char chiSquareMethod[] =
    "\xD5\xE8-\xEA\xE2\xE0\xE4\xF0\xE0\xF2 \xF1 "
    "\xEF\xEE\xEF\xF0\xE0\xE2\xEA\xEE\xE9 \xC9\xE5\xE9\xF2\xF1\xE0";
// "Точный метод Фишера"
inline constexpr char fisherMethod[] =
    "\xD2\xEE\xF7\xED\xFB\xE9 \xEC\xE5\xF2\xEE\xE4 \xD4\xE8\xF8\xE5\xF0\xE0";
// "Ждите...", shown in place of the method while the tests run
inline constexpr char waitMethod[] = "\xC6\xE4\xE8\xF2\xE5...";
// "Идут вычисления", shown in place of the verdict while the tests run
inline constexpr char waitVerdict[] = "\xC8\xE4\xF3\xF2 \xE2\xFB\xF7\xE8\xF1\xEB\xE5\xED\xE8\xFF";

// The verdicts on the null hypothesis, loosest first: "Принимается на уровне 0.10", then
// "Отвергается на уровне 0.10", "... 0.05" and "... 0.01".
inline constexpr const char *verdicts[] = {
    "\xCF\xF0\xE8\xED\xE8\xEC\xE0\xE5\xF2\xF1\xFF \xED\xE0 \xF3\xF0\xEE\xE2\xED\xE5 0.10",
    "\xCE\xF2\xE2\xE5\xF0\xE3\xE0\xE5\xF2\xF1\xFF \xED\xE0 \xF3\xF0\xEE\xE2\xED\xE5 0.10",
    "\xCE\xF2\xE2\xE5\xF0\xE3\xE0\xE5\xF2\xF1\xFF \xED\xE0 \xF3\xF0\xEE\xE2\xED\xE5 0.05",
    "\xCE\xF2\xE2\xE5\xF0\xE3\xE0\xE5\xF2\xF1\xFF \xED\xE0 \xF3\xF0\xEE\xE2\xED\xE5 0.01",
};

} // namespace Messages
