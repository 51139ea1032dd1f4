#include "messagecodec.h"
#include "statengine.h"
#include "texts.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestVerdicts final : public QObject
{
    Q_OBJECT

private slots:
    void init() { installStartupCodec(); }
    void cleanupTestCase() { MessageCodec::install(nullptr); }

    void grading_data();
    void grading();
    void startupCodecIsWindows1251();
    void withoutCodecMessagesReadAsLatin1();
};

void TestVerdicts::grading_data()
{
    QTest::addColumn<double>("p");
    QTest::addColumn<QString>("expected");

    QTest::newRow("p = 1") << 1.0 << Texts::accepted10;
    QTest::newRow("p a hair above 1") << 1.0000000000000002 << Texts::accepted10;
    QTest::newRow("just above 0.10 is accepted") << 0.10000001 << Texts::accepted10;
    QTest::newRow("exactly 0.10 is rejected at 0.10") << 0.1 << Texts::rejected10;
    QTest::newRow("just above 0.05 is rejected at 0.10") << 0.0500001 << Texts::rejected10;
    QTest::newRow("exactly 0.05 is rejected at 0.05") << 0.05 << Texts::rejected05;
    QTest::newRow("just above 0.01 is rejected at 0.05") << 0.0100001 << Texts::rejected05;
    QTest::newRow("exactly 0.01 is rejected at 0.01") << 0.01 << Texts::rejected01;
    QTest::newRow("p = 0") << 0.0 << Texts::rejected01;
    QTest::newRow("NaN fails every test")
        << std::numeric_limits<double>::quiet_NaN() << Texts::rejected01;
}

void TestVerdicts::grading()
{
    QFETCH(double, p);
    QFETCH(QString, expected);
    QCOMPARE(StatEngine().verdictText(p), expected);
}

void TestVerdicts::startupCodecIsWindows1251()
{
    QVERIFY(MessageCodec::installed());
    QCOMPARE(MessageCodec::installed()->name(), QByteArray("windows-1251"));
}

void TestVerdicts::withoutCodecMessagesReadAsLatin1()
{
    MessageCodec::install(nullptr);
    const QString text = StatEngine().verdictText(1.0);
    QCOMPARE(text, QString::fromLatin1(
                       QTextCodec::codecForName("CP1251")->fromUnicode(Texts::accepted10)));
    QVERIFY(text != Texts::accepted10);
}

QTEST_APPLESS_MAIN(TestVerdicts)
#include "test_verdicts.moc"
