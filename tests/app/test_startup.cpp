#include <QProcess>
#include <QTest>

#include <algorithm>

// The built program, started as a user would, without a display.
class TestStartup final : public QObject
{
    Q_OBJECT

private slots:
    void startsAndStaysUp_data();
    void startsAndStaysUp();
};

void TestStartup::startsAndStaysUp_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no arguments") << QStringList{};
    QTest::newRow("Qt's style option") << QStringList{"-style", "fusion"};
    QTest::newRow("arguments of no meaning are ignored")
        << QStringList{"--frobnicate", "table.txt"};
}

void TestStartup::startsAndStaysUp()
{
    QFETCH(QStringList, arguments);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TABULON_EXECUTABLE), arguments);
    QVERIFY(program.waitForStarted());
    QVERIFY2(!program.waitForFinished(1500), "the program ended by itself");
    program.kill();
    program.waitForFinished();

    // Nothing on stderr but the notices Qt itself prints in this environment.
    const QStringList noise{"QStandardPaths: XDG_RUNTIME_DIR", "propagateSizeHints"};
    for (const QString &line : QString::fromLocal8Bit(program.readAllStandardError()).split('\n')) {
        const bool known = line.trimmed().isEmpty() ||
                           std::any_of(noise.begin(), noise.end(),
                                       [&](const QString &n) { return line.contains(n); });
        QVERIFY2(known, qPrintable(line));
    }
}

QTEST_GUILESS_MAIN(TestStartup)
#include "test_startup.moc"
