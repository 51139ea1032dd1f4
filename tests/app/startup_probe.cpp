// SPDX-FileCopyrightText: 2026 The Tabulon 2x2 authors
// SPDX-License-Identifier: GPL-3.0-or-later
// Loaded into the built program through Qt's standard option "-plugin startupprobe", on
// Linux and Windows alike. Once the program's event loop runs, it types 30, 20, 20, 30
// into the main window, presses "Расчет" and closes the window, which must end the program
// with status 0; a window not shown, or a result not in Russian, ends it with status 1.
// With TABULON_PROBE_SCREENSHOT set, it first saves the window as shown, frame and title
// bar included where the system draws them, to that PNG file.
#include <QApplication>
#include <QGenericPlugin>
#include <QScreen>
#include <QTest>
#include <QTimer>

static void probe()
{
    QWidget *window = QApplication::topLevelWidgets().value(0);
    if (!window || !window->isVisible() || !window->inherits("MainWindow"))
        return QCoreApplication::exit(1);
    const auto find = [window](const char *name) { return window->findChild<QWidget *>(name); };
    for (const char *name : {"lineEditA", "lineEditB", "lineEditC", "lineEditD"})
        QTest::keyClicks(find(name), name[8] == 'A' || name[8] == 'D' ? "30" : "20");
    QTest::mouseClick(find("pushButton"), Qt::LeftButton);
    const QString shown = find("labelM")->property("text").toString() + " / " +
                          find("labelZ")->property("text").toString();
    qInfo("%s", qPrintable(shown));
    if (shown != QStringLiteral("Хи-квадрат с поправкой Йейтса / Отвергается на уровне 0.10"))
        return QCoreApplication::exit(1);
    if (const QString shot = qEnvironmentVariable("TABULON_PROBE_SCREENSHOT"); !shot.isEmpty()) {
        QTest::qWait(200); // for the window system to draw the frame
        const QRect frame = window->frameGeometry();
        if (!window->screen()
                 ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                 .save(shot))
            return QCoreApplication::exit(1);
    }
    window->close();
}

// The application object creates the plugin while it starts, before main goes on.
class StartupProbe final : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startup_probe.json")

public:
    QObject *create(const QString &, const QString &) override
    {
        QTimer::singleShot(0, probe);
        return new QObject(this);
    }
};

#include "startup_probe.moc"
