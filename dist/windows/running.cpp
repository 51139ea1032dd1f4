// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// The installer and the uninstaller refuse to replace or remove the program while it runs:
// they see it by this named mutex, which Windows releases when the process ends. Global, so
// that it is seen from every session: another user's, switched to or remote, on a shared PC.
#include <windows.h>

namespace {
[[maybe_unused]] const HANDLE running = CreateMutexW(nullptr, FALSE, L"Global\\Tabulon2x2Running");
}
