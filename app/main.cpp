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
