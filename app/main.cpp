// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"
#include "messagecodec.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // The program's own messages are CP1251 literals; without the codec they read as Latin-1.
    MessageCodec::installCp1251();

    MainWindow window;
    window.show();
    return application.exec();
}
