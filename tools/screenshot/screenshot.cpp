// Types a table into a fresh main window, presses "Расчет" and saves the window as a PNG.
#include "mainwindow.h"
#include "messagecodec.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 6) {
        std::fprintf(stderr, "usage: %s OUTPUT.png A B C D\n", argv[0]);
        return 2;
    }
    MessageCodec::installCp1251();

    MainWindow window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    const char *fields[] = {"lineEditA", "lineEditB", "lineEditC", "lineEditD"};
    for (int i = 0; i < 4; ++i)
        QTest::keyClicks(window.findChild<QLineEdit *>(fields[i]), argv[2 + i]);
    QTest::mouseClick(window.findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QTest::qWait(200);

    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
