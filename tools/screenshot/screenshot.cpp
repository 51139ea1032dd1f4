// Types a table into a fresh main window, presses "Расчет" and saves the window as a PNG,
// with its frame and title bar where the system draws one.
#include "mainwindow.h"
#include "messagecodec.h"

#include <QApplication>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
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

    const QRect frame = window.frameGeometry();
    const QPixmap shot =
        window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    return shot.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
