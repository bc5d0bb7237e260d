#include "core/utils.h"

#include "tempworkdir.h"

#include <QtTest>

using Bytes = QByteArray;

class TestUtils : public QObject
{
    Q_OBJECT

private slots:
    void hexForms_data();
    void hexForms();
    void markedHexRoundTrip_data();
    void markedHexRoundTrip();
    void markedHexParsing_data();
    void markedHexParsing();
    void extractBits_data();
    void extractBits();
    void variantToText_data();
    void variantToText();
    void findFiles();
    void centeredPosition_data();
    void centeredPosition();
    void vmapPut_data();
    void vmapPut();
    void vmapValue_data();
    void vmapValue();
    void vmapMerging();
    void appSettingGroups();
};

void TestUtils::hexForms_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("marked");

    QTest::newRow("empty") << Bytes() << QString() << QString();
    QTest::newRow("one byte has no blank") << Bytes::fromHex("0a") << QStringLiteral("0a") << QStringLiteral("0x0Ah");
    QTest::newRow("bytes above 0x7f have no sign")
        << Bytes::fromHex("007f80ff") << QStringLiteral("00 7f 80 ff") << QStringLiteral("0x00h 0x7Fh 0x80h 0xFFh");
    QTest::newRow("marked digits upper case") << Bytes::fromHex("ab01") << QStringLiteral("ab 01")
                                              << QStringLiteral("0xABh 0x01h");
}

void TestUtils::hexForms()
{
    QFETCH(Bytes, bytes);
    QFETCH(QString, plain);
    QFETCH(QString, marked);
    QCOMPARE(Utils::bufferToHex(bytes), plain);
    QCOMPARE(Utils::bufferToHexH(bytes), marked);
    QCOMPARE(Utils::bufferToHex(bytes.constData(), -1), QString());
}

void TestUtils::markedHexRoundTrip_data()
{
    QTest::addColumn<Bytes>("bytes");
    QTest::newRow("empty") << Bytes();
    QTest::newRow("unique address") << Bytes::fromHex("260aff007f");
    Bytes all;
    for (int i = 0; i < 256; ++i)
        all.append(char(i));
    QTest::newRow("every byte value") << all;
}

void TestUtils::markedHexRoundTrip()
{
    QFETCH(Bytes, bytes);
    QCOMPARE(Utils::stringToByteArray(Utils::bufferToHexH(bytes)), bytes);
}

void TestUtils::markedHexParsing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Bytes>("bytes");

    QTest::newRow("blanks only") << QStringLiteral("   ") << Bytes();
    QTest::newRow("either case of digits, x and h") << QStringLiteral("0x0Ah 0X0bH 0xffh") << Bytes::fromHex("0a0bff");
    QTest::newRow("two blanks change nothing") << QStringLiteral("0x01h  0x02h") << Bytes::fromHex("0102");
    QTest::newRow("comma joins tokens into one that fails") << QStringLiteral("0x0Ah,0x0Bh") << Bytes();
    QTest::newRow("other forms are skipped, good tokens kept")
        << QStringLiteral("10 0x0A 0Ah 0x0h 0x100h 0x20h") << Bytes::fromHex("20");
    QTest::newRow("tab attached to a token") << QStringLiteral("0x01h\t0x02h") << Bytes();
}

void TestUtils::markedHexParsing()
{
    QFETCH(QString, text);
    QFETCH(Bytes, bytes);
    QCOMPARE(Utils::stringToByteArray(text), bytes);
}

void TestUtils::extractBits_data()
{
    QTest::addColumn<quint64>("value");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint32>("field");

    QTest::newRow("upper nibble of a byte") << quint64(0xF0) << 4 << 4 << quint32(0xF);
    QTest::newRow("lowest bit") << quint64(0x3) << 0 << 1 << quint32(1);
    QTest::newRow("highest bit") << quint64(0x8000000000000000ULL) << 63 << 1 << quint32(1);
    QTest::newRow("low 32 bits") << quint64(0x1122334455667788ULL) << 0 << 32 << quint32(0x55667788);
    QTest::newRow("upper half") << quint64(0x1122334455667788ULL) << 32 << 32 << quint32(0x11223344);
    QTest::newRow("40-bit field keeps its low 32 bits") << quint64(0x00FFEEDDCCBBAA00ULL) << 8 << 40
                                                        << quint32(0xDDCCBBAA);
    QTest::newRow("count 0 gives 0") << quint64(0xFF) << 0 << 0 << quint32(0);
    QTest::newRow("field past bit 63 is clamped") << quint64(0xF000000000000000ULL) << 60 << 8 << quint32(0xF);
}

void TestUtils::extractBits()
{
    QFETCH(quint64, value);
    QFETCH(int, first);
    QFETCH(int, count);
    QFETCH(quint32, field);
    QCOMPARE(Utils::extractBits(value, quint8(first), quint8(count)), field);
}

void TestUtils::variantToText_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("float in its shortest digits") << QVariant(74.3f) << QStringLiteral("74.3");
    QTest::newRow("float with seven digits keeps them") << QVariant(1234.567f) << QStringLiteral("1234.567");
    QTest::newRow("neighbouring float gets its own text") << QVariant(1234.568f) << QStringLiteral("1234.568");
    QTest::newRow("float of eight digits is not cut") << QVariant(16777216.0f) << QStringLiteral("16777216");
    QTest::newRow("double with fifteen digits") << QVariant(0.1 + 0.2) << QStringLiteral("0.3");
    QTest::newRow("integer") << QVariant(42) << QStringLiteral("42");
    QTest::newRow("text") << QVariant(QStringLiteral("kPa")) << QStringLiteral("kPa");
}

void TestUtils::variantToText()
{
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    QCOMPARE(Utils::variantToText(value), text);
}

void TestUtils::findFiles()
{
    QCOMPARE(Utils::findAppFile("no-such-file.txt"), QStringLiteral(":/no-such-file.txt"));
    const QString own = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    QCOMPARE(Utils::findAppFile(own), QCoreApplication::applicationDirPath() + "/" + own);

    TempWorkDir dir;
    QCOMPARE(Utils::findDataFile("here.txt"), QString());
    QFile file(dir.filePath("here.txt"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QCOMPARE(Utils::findDataFile("here.txt"), QDir::currentPath() + "/here.txt");
}

void TestUtils::centeredPosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("position");
    QTest::newRow("whole desktop") << QRect(0, 0, 1920, 1040) << QSize(800, 600) << QPoint(560, 220);
    QTest::newRow("task bar at the left") << QRect(60, 0, 1860, 1080) << QSize(800, 600) << QPoint(590, 240);
    QTest::newRow("task bar at the top") << QRect(0, 40, 1920, 1040) << QSize(800, 600) << QPoint(560, 260);
    QTest::newRow("second screen") << QRect(1920, 0, 1280, 1024) << QSize(801, 601) << QPoint(2159, 211);
    QTest::newRow("larger than the area is not clamped") << QRect(0, 0, 800, 600) << QSize(1000, 700)
                                                         << QPoint(-100, -50);
}

void TestUtils::centeredPosition()
{
    QFETCH(QRect, available);
    QFETCH(QSize, size);
    QFETCH(QPoint, position);
    QCOMPARE(Utils::centeredPosition(available, size), position);
}

void TestUtils::vmapPut_data()
{
    QTest::addColumn<QVariantMap>("target");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariantMap>("expected");

    const QVariantMap empty;
    QTest::newRow("creates the nesting") << empty << QStringLiteral("a/b/c") << QVariant(5)
                                         << QVariantMap{{"a", QVariantMap{{"b", QVariantMap{{"c", 5}}}}}};
    QTest::newRow("keeps entries beside the path") << QVariantMap{{"a", QVariantMap{{"x", 1}}}} << QStringLiteral("a/b")
                                                   << QVariant(2) << QVariantMap{{"a", QVariantMap{{"b", 2}, {"x", 1}}}};
    QTest::newRow("a number on the path becomes a map") << QVariantMap{{"a", 7}} << QStringLiteral("a/b") << QVariant(2)
                                                        << QVariantMap{{"a", QVariantMap{{"b", 2}}}};
    QTest::newRow("trailing slash stores under the empty key")
        << empty << QStringLiteral("a/") << QVariant(1) << QVariantMap{{"a", QVariantMap{{"", 1}}}};
    QTest::newRow("single key replaces, maps included") << QVariantMap{{"k", QVariantMap{{"x", 1}}}} << QStringLiteral("k")
                                                        << QVariant(QVariantMap{{"y", 2}})
                                                        << QVariantMap{{"k", QVariantMap{{"y", 2}}}};
    QTest::newRow("empty path merges a map") << QVariantMap{{"k", 0}, {"m", 2}} << QString()
                                             << QVariant(QVariantMap{{"k", 1}}) << QVariantMap{{"k", 1}, {"m", 2}};
    QTest::newRow("empty path with a number changes nothing") << QVariantMap{{"k", 0}} << QString() << QVariant(3)
                                                              << QVariantMap{{"k", 0}};
}

void TestUtils::vmapPut()
{
    QFETCH(QVariantMap, target);
    QFETCH(QString, path);
    QFETCH(QVariant, value);
    QFETCH(QVariantMap, expected);
    Utils::vmap_put(target, path, value);
    QCOMPARE(target, expected);
}

void TestUtils::vmapValue_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("withDefault");

    const QVariant invalid;
    QTest::newRow("nested value") << QStringLiteral("a/b") << QVariant(3) << QVariant(3);
    QTest::newRow("missing leaf") << QStringLiteral("a/c") << invalid << QVariant(-1);
    QTest::newRow("leaf is no map") << QStringLiteral("a/b/c") << invalid << QVariant(-1);
    QTest::newRow("missing root") << QStringLiteral("x/b") << invalid << QVariant(-1);
    QTest::newRow("whole submap") << QStringLiteral("a") << QVariant(QVariantMap{{"b", 3}}) << QVariant(QVariantMap{{"b", 3}});
    QTest::newRow("single missing key ignores the default") << QStringLiteral("z") << invalid << invalid;
}

void TestUtils::vmapValue()
{
    QFETCH(QString, path);
    QFETCH(QVariant, value);
    QFETCH(QVariant, withDefault);
    const QVariantMap map{{"a", QVariantMap{{"b", 3}}}};
    QCOMPARE(Utils::vmap_value(map, path), value);
    QCOMPARE(Utils::vmap_get(map, path, QVariant(-1)), withDefault);
}

void TestUtils::vmapMerging()
{
    const QVariantMap source{{"k", 1}};
    QVariantMap merged{{"k", 0}, {"m", 2}};
    Utils::vmap_merge(source, merged);
    QCOMPARE(merged, (QVariantMap{{"k", 1}, {"m", 2}}));

    QVariantMap added{{"k", 0}, {"m", 2}};
    Utils::vmap_add_missing(source, added);
    QCOMPARE(added, (QVariantMap{{"k", 0}, {"m", 2}}));

    QVariantMap empty1, empty2;
    Utils::vmap_merge(source, empty1);
    Utils::vmap_add_missing(source, empty2);
    QCOMPARE(empty1, source);
    QCOMPARE(empty2, source);
}

void TestUtils::appSettingGroups()
{
    TempWorkDir dir;
    const QString file = dir.filePath(QStringLiteral("a.cfg"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(R"({"other":1,"srv":{"ports":[]}})");
    f.close();

    const QVariantMap groups = Utils::readAppSetting(file);
    QCOMPARE(groups.value("app"), QVariant(QVariantMap()));
    QCOMPARE(groups.value("srv").toMap().value("ports"), QVariant(QVariantList()));

    QVERIFY(Utils::writeAppSetting(groups, file));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray(R"({"app":{},"other":1,"srv":{"ports":[]}})"));
    f.close();

    QVERIFY(Utils::writeAppSetting(QVariantMap{{"x", 1}}, file));
    QCOMPARE(Utils::readAppSetting(file), groups);

    QVERIFY2(!Utils::writeAppSetting(groups, file + QStringLiteral("/inside/a/file.cfg")),
             "a write that cannot happen must not be reported as done");

    // The outcome is this write's, not that of the read before it.
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("{broken");
    f.close();
    QVERIFY(Utils::writeAppSetting(groups, file));
    QCOMPARE(Utils::readAppSetting(file), groups);
}

QTEST_GUILESS_MAIN(TestUtils)
#include "tst_utils.moc"
