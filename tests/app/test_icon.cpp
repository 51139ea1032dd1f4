#include <QFile>
#include <QIcon>
#include <QImage>
#include <QResource>
#include <QTest>
#include <QtEndian>

// The window icon compiled into the program: a 30 × 30 red cross on white.
class TestIcon final : public QObject
{
    Q_OBJECT

private slots:
    void storedCompressedWithZlib();
    void bitmapLayout();
    void pixels();
    void pathIsCaseSensitive_data();
    void pathIsCaseSensitive();
};

static QByteArray iconBytes()
{
    QFile file(QStringLiteral(":/icon.bmp"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestIcon::storedCompressedWithZlib()
{
    const QResource resource(QStringLiteral(":/icon.bmp"));
    QVERIFY(resource.isValid());
    QCOMPARE(resource.compressionAlgorithm(), QResource::ZlibCompression);
    QCOMPARE(resource.uncompressedSize(), qint64(2814));
    QVERIFY(resource.size() < 100);
}

void TestIcon::bitmapLayout()
{
    const QByteArray bytes = iconBytes();
    QCOMPARE(bytes.size(), 2814);
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(data + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(data + at); };
    const auto i32 = [&](int at) { return qFromLittleEndian<qint32>(data + at); };

    QCOMPARE(bytes.left(2), QByteArray("BM"));
    QCOMPARE(u32(2), 2814u);
    QCOMPARE(u32(6), 0u); // both reserved words
    QCOMPARE(u32(10), 54u);
    QCOMPARE(u32(14), 40u);
    QCOMPARE(i32(18), 30);
    QCOMPARE(i32(22), 30); // positive: rows stored bottom-up
    QCOMPARE(u16(26), quint16(1));
    QCOMPARE(u16(28), quint16(24));
    QCOMPARE(u32(30), 0u);
    QCOMPARE(u32(34), 2760u);
    for (int at = 38; at < 54; at += 4)
        QCOMPARE(u32(at), 0u); // resolution and palette
    for (int row = 0; row < 30; ++row) {
        const int padding = 54 + row * 92 + 90;
        QCOMPARE(u16(padding), quint16(0));
    }
}

void TestIcon::pixels()
{
    const QImage image(QStringLiteral(":/icon.bmp"));
    QCOMPARE(image.size(), QSize(30, 30));
    QCOMPARE(image.pixel(0, 0), qRgb(255, 255, 255));
    QCOMPARE(image.pixel(14, 14), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(3, 3), qRgb(255, 255, 255));

    int red = 0, white = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 30; ++x) {
            const bool inVerticalBar = x >= 11 && x <= 17 && y >= 3 && y <= 25;
            const bool inHorizontalBar = y >= 11 && y <= 17 && x >= 3 && x <= 25;
            const QRgb expected =
                inVerticalBar || inHorizontalBar ? qRgb(255, 0, 0) : qRgb(255, 255, 255);
            QVERIFY2(image.pixel(x, y) == expected,
                     qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            (expected == qRgb(255, 0, 0) ? red : white)++;
        }
    }
    QCOMPARE(red, 273);
    QCOMPARE(white, 627);
}

void TestIcon::pathIsCaseSensitive_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("capital I") << QStringLiteral(":/Icon.bmp");
    QTest::newRow("capital extension") << QStringLiteral(":/icon.BMP");
    QTest::newRow("all capitals") << QStringLiteral(":/ICON.BMP");
}

void TestIcon::pathIsCaseSensitive()
{
    QFETCH(QString, path);
    QVERIFY(QImage(path).isNull());
    QVERIFY(QIcon(path).pixmap(30).isNull());
}

QTEST_MAIN(TestIcon)
#include "test_icon.moc"
