#include "model/device.h"
#include "model/tag.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

namespace {

QByteArray littleEndianFloat(float number)
{
    QByteArray bytes(sizeof number, '\0');
    std::memcpy(bytes.data(), &number, sizeof number);
    return bytes;
}

QByteArray littleEndianDouble(double number)
{
    QByteArray bytes(sizeof number, '\0');
    std::memcpy(bytes.data(), &number, sizeof number);
    return bytes;
}

QVariantMap typed(const QString &deviceType, const QString &access, bool extract = false, int from = 0, int to = 0)
{
    return {{QStringLiteral("device_type"), deviceType},
            {QStringLiteral("access"), access},
            {QStringLiteral("use_bit_extraction"), extract},
            {QStringLiteral("extract_bit_from"), from},
            {QStringLiteral("extract_bit_to"), to}};
}

} // namespace

class TestTag : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void newTagFollowsDevice();
    void saveOfNewTag();
    void loadTypeTexts_data();
    void loadTypeTexts();
    void loadWithoutOptionalKeys();
    void saveThenLoadRestores();
    void bitBounds_data();
    void bitBounds();
    void readDecodesRawData_data();
    void readDecodesRawData();
    void accessGatesTransfers_data();
    void accessGatesTransfers();
    void writeStoresWithoutTimestamp();
    void requesterWaitsForWorker_data();
    void requesterWaitsForWorker();
    void valueText_data();
    void valueText();
    void limits_data();
    void limits();
    void nanOrInf_data();
    void nanOrInf();
    void addressValue_data();
    void addressValue();
    void channelGroup_data();
    void channelGroup();
    void messageLogKeepsNewestLines();

private:
    std::unique_ptr<Device> device;
    std::unique_ptr<Tag> tag;
};

void TestTag::init()
{
    device = std::make_unique<Device>(nullptr);
    device->setProperty("priority", 10);
    device->setPollingPeriod(1000);
    tag = std::make_unique<Tag>(device.get());
}

void TestTag::cleanup()
{
    tag.reset();
    device.reset();
}

void TestTag::newTagFollowsDevice()
{
    QCOMPARE(tag->property("priority").toInt(), 10);
    QCOMPARE(tag->property("period").toInt(), 1000);
    QCOMPARE(tag->name(), QStringLiteral("Tag1"));
    QCOMPARE(tag->key(), device->key() + QStringLiteral("/Tag1"));
    QCOMPARE(tag->type(), 4);
    QCOMPARE(tag->device(), device.get());
    Tag second(device.get());
    QCOMPARE(second.name(), QStringLiteral("Tag2"));
    QVERIFY(!tag->value().isValid());
    QVERIFY(tag->timestamp().isNull());

    Device other(nullptr);
    second.setDevice(&other);
    QCOMPARE(second.parentItem(), &other);
    QCOMPARE(second.device(), &other);
    QCOMPARE(device->childCount(), 0);
}

void TestTag::saveOfNewTag()
{
    const QVariantMap map = tag->save();
    QCOMPARE(map.size(), 21);
    QCOMPARE(map.value(QStringLiteral("device_type")).toString(), QStringLiteral("float32"));
    QCOMPARE(map.value(QStringLiteral("server_type")).toString(), QStringLiteral("float32"));
    QCOMPARE(map.value(QStringLiteral("access")).toString(), QStringLiteral("ReadOnly"));
    QCOMPARE(map.value(QStringLiteral("address")).toString(), QStringLiteral("0"));
    QCOMPARE(map.value(QStringLiteral("byteorder")).toString(), QStringLiteral("0123"));
    QCOMPARE(map.value(QStringLiteral("polling_period")).toInt(), 1000);
    QCOMPARE(map.value(QStringLiteral("priority")).toInt(), 10);
    for (const char *flag : {"byteorder_enabled", "enabled", "modified", "use_bit_extraction"})
        QCOMPARE(map.value(QLatin1String(flag)).toBool(), false);
    for (const char *number : {"extract_bit_from", "extract_bit_to", "read_func", "write_func"})
        QCOMPARE(map.value(QLatin1String(number)).toInt(), 0);
    QCOMPARE(map.value(QStringLiteral("comment")).toString(), QString());
    QVERIFY(map.value(QStringLiteral("config_group")).toStringList().isEmpty());
    QVERIFY(map.value(QStringLiteral("limits")).toList().isEmpty());
    QVERIFY(map.value(QStringLiteral("values")).toMap().isEmpty());
    QVERIFY(map.contains(QStringLiteral("value")));
    QVERIFY(!map.value(QStringLiteral("value")).isValid());
}

void TestTag::loadTypeTexts_data()
{
    QTest::addColumn<QVariantMap>("map");
    QTest::addColumn<int>("deviceType");
    QTest::addColumn<int>("serverType");
    QTest::addColumn<int>("access");

    QTest::newRow("missing types read as int32 and ReadOnly") << QVariantMap() << 3 << 3 << 0;
    QTest::newRow("device type in capitals") << QVariantMap{{QStringLiteral("device_type"), QStringLiteral("BIT")}}
                                             << 0 << 3 << 0;
    QTest::newRow("bool is no device type") << QVariantMap{{QStringLiteral("device_type"), QStringLiteral("bool")}}
                                            << 3 << 3 << 0;
    QTest::newRow("bit is no server type") << QVariantMap{{QStringLiteral("server_type"), QStringLiteral("bit")}}
                                           << 3 << 3 << 0;
    QTest::newRow("server type bool") << QVariantMap{{QStringLiteral("server_type"), QStringLiteral("Bool")}}
                                      << 3 << 0 << 0;
    QTest::newRow("float64 and ReadWrite")
        << QVariantMap{{QStringLiteral("device_type"), QStringLiteral("float64")},
                       {QStringLiteral("access"), QStringLiteral("readwrite")}}
        << 6 << 3 << 2;
    QTest::newRow("short access text is not read")
        << QVariantMap{{QStringLiteral("access"), QStringLiteral("R/W")}} << 3 << 3 << 0;
    QTest::newRow("WriteOnly") << QVariantMap{{QStringLiteral("access"), QStringLiteral("WriteOnly")}} << 3 << 3 << 1;
}

void TestTag::loadTypeTexts()
{
    QFETCH(QVariantMap, map);
    QFETCH(int, deviceType);
    QFETCH(int, serverType);
    QFETCH(int, access);
    QVERIFY(tag->load(map));
    QCOMPARE(tag->deviceType(), deviceType);
    QCOMPARE(tag->serverType(), serverType);
    QCOMPARE(tag->accessType(), access);
}

void TestTag::loadWithoutOptionalKeys()
{
    tag->load({{QStringLiteral("config_group"), QStringList{QStringLiteral("channel"), QStringLiteral("1")}},
               {QStringLiteral("limits"), QVariantList{0, 10}},
               {QStringLiteral("values"), QVariantMap{{QStringLiteral("1"), QStringLiteral("On")}}}});
    QSignalSpy changes(tag.get(), &Tag::valueChanged);

    QVERIFY(tag->load(QVariantMap()));

    QCOMPARE(tag->value(), QVariant(0));
    QVERIFY(tag->timestamp().isValid());
    QCOMPARE(changes.size(), 1);
    QVERIFY(tag->limits().isEmpty());
    QVERIFY(tag->values().isEmpty());
    QCOMPARE(tag->configGroup(), (QStringList{QStringLiteral("channel"), QStringLiteral("1")}));
    // A text where a list belongs is no list of characters.
    tag->load({{QStringLiteral("limits"), QStringLiteral("0,10")}, {QStringLiteral("config_group"), QStringLiteral("ab")}});
    QVERIFY(tag->limits().isEmpty());
    QCOMPARE(tag->configGroup().size(), 2);
}

void TestTag::saveThenLoadRestores()
{
    const QVariantMap source = {
        {QStringLiteral("name"), QStringLiteral("Flow")},
        {QStringLiteral("enabled"), true},
        {QStringLiteral("polling_period"), 250},
        {QStringLiteral("address"), QStringLiteral("0x1F")},
        {QStringLiteral("priority"), 3},
        {QStringLiteral("server_type"), QStringLiteral("uint32")},
        {QStringLiteral("device_type"), QStringLiteral("uint16")},
        {QStringLiteral("read_func"), 3},
        {QStringLiteral("write_func"), 16},
        {QStringLiteral("access"), QStringLiteral("ReadWrite")},
        {QStringLiteral("comment"), QStringLiteral("inlet")},
        {QStringLiteral("use_bit_extraction"), true},
        {QStringLiteral("extract_bit_from"), 2},
        {QStringLiteral("extract_bit_to"), 9},
        {QStringLiteral("config_group"), QStringList{QStringLiteral("Channel"), QStringLiteral("2")}},
        {QStringLiteral("value"), 42},
        {QStringLiteral("limits"), QVariantList{1, 99}},
        {QStringLiteral("values"), QVariantMap{{QStringLiteral("1"), QStringLiteral("On")}}},
        {QStringLiteral("modified"), true},
    };
    tag->load(source);
    tag->setProperty("byteorder", QStringLiteral("3210"));
    tag->setProperty("byteorder_enabled", true);
    const QVariantMap saved = tag->save();

    Tag other(device.get());
    other.load(saved);
    const QVariantMap restored = other.save();
    for (auto it = saved.cbegin(); it != saved.cend(); ++it) {
        if (it.key().startsWith(QLatin1String("byteorder")))
            continue;
        QCOMPARE(restored.value(it.key()), it.value());
    }
    QCOMPARE(restored.value(QStringLiteral("byteorder")).toString(), QStringLiteral("0123"));
    QCOMPARE(restored.value(QStringLiteral("byteorder_enabled")).toBool(), false);
    QCOMPARE(restored.value(QStringLiteral("name")).toString(), QStringLiteral("Flow"));
}

void TestTag::bitBounds_data()
{
    QTest::addColumn<QString>("deviceType");
    QTest::addColumn<QList<int>>("calls");   // pairs: 0 = from, 1 = to, then the bit
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");

    QTest::newRow("lower bound above the type lifts the upper one, which then pulls it down")
        << "uint16" << QList<int>{0, 20, 1, 3} << 3 << 3;
    QTest::newRow("upper bound cut to the last bit of int32") << "int32" << QList<int>{1, 40} << 0 << 31;
    QTest::newRow("float64 keeps 63") << "float64" << QList<int>{1, 63, 0, 60} << 60 << 63;
    QTest::newRow("bit type holds bits 0 to 7") << "bit" << QList<int>{1, 9} << 0 << 7;
    QTest::newRow("upper bound below the lower one pulls it down") << "int32" << QList<int>{0, 8, 1, 4} << 4 << 4;
    QTest::newRow("negative lower bound becomes bit 0") << "int32" << QList<int>{1, 5, 0, -3} << 0 << 5;
    QTest::newRow("negative upper bound becomes bit 0") << "int32" << QList<int>{0, 6, 1, -1} << 0 << 0;
}

void TestTag::bitBounds()
{
    QFETCH(QString, deviceType);
    QFETCH(QList<int>, calls);
    QFETCH(int, from);
    QFETCH(int, to);
    tag->load(typed(deviceType, QStringLiteral("ReadOnly")));
    for (int i = 0; i + 1 < calls.size(); i += 2) {
        if (calls.at(i) == 0)
            tag->setExtractBitFrom(calls.at(i + 1));
        else
            tag->setExtractBitTo(calls.at(i + 1));
    }
    QCOMPARE(tag->extractBitFrom(), from);
    QCOMPARE(tag->extractBitTo(), to);
}

void TestTag::readDecodesRawData_data()
{
    QTest::addColumn<QVariantMap>("settings");
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QVariant>("expected");

    const QString ro = QStringLiteral("ReadOnly");
    QTest::newRow("uint16, least significant byte first")
        << typed(QStringLiteral("uint16"), ro) << QByteArray::fromHex("3412") << QVariant(4660);
    QTest::newRow("uint16, bits 4 to 7") << typed(QStringLiteral("uint16"), ro, true, 4, 7)
                                         << QByteArray::fromHex("3412") << QVariant(3);
    QTest::newRow("int16 all ones is -1") << typed(QStringLiteral("int16"), ro) << QByteArray::fromHex("ffff")
                                          << QVariant(-1);
    QTest::newRow("uint16 all ones") << typed(QStringLiteral("uint16"), ro) << QByteArray::fromHex("ffff")
                                     << QVariant(65535);
    QTest::newRow("uint32 all ones as unsigned")
        << typed(QStringLiteral("uint32"), ro) << QByteArray::fromHex("ffffffff") << QVariant(4294967295u);
    QTest::newRow("int32 negative") << typed(QStringLiteral("int32"), ro) << QByteArray::fromHex("feffffff")
                                    << QVariant(-2);
    QTest::newRow("int32 bits 8 to 15 of the second byte")
        << typed(QStringLiteral("int32"), ro, true, 8, 15) << QByteArray::fromHex("00ab0000") << QVariant(0xab);
    QTest::newRow("float32") << typed(QStringLiteral("float32"), ro) << littleEndianFloat(-12.25f)
                             << QVariant(-12.25f);
    QTest::newRow("float64 narrowed to single precision")
        << typed(QStringLiteral("float64"), ro) << littleEndianDouble(1.0 / 3.0) << QVariant(float(1.0 / 3.0));
    QTest::newRow("bit with empty data is false") << typed(QStringLiteral("bit"), ro) << QByteArray()
                                                  << QVariant(false);
    QTest::newRow("bit with first byte 2 is true") << typed(QStringLiteral("bit"), ro, true, 4, 5)
                                                   << QByteArray::fromHex("02") << QVariant(true);
    QTest::newRow("extra bytes beyond the type are ignored")
        << typed(QStringLiteral("uint16"), ro) << QByteArray::fromHex("341299") << QVariant(4660);
    QTest::newRow("short data reads as zero high bytes")
        << typed(QStringLiteral("uint32"), ro) << QByteArray::fromHex("3412") << QVariant(4660u);
    QTest::newRow("empty data reads as 0") << typed(QStringLiteral("float64"), ro) << QByteArray()
                                           << QVariant(0.0f);
    QTest::newRow("negative bounds extract from bit 0")
        << typed(QStringLiteral("uint16"), ro, true, -4, 3) << QByteArray::fromHex("3412") << QVariant(4);
    QTest::newRow("ReadWrite reads too") << typed(QStringLiteral("int16"), QStringLiteral("ReadWrite"))
                                         << QByteArray::fromHex("0100") << QVariant(1);
}

void TestTag::readDecodesRawData()
{
    QFETCH(QVariantMap, settings);
    QFETCH(QByteArray, raw);
    QFETCH(QVariant, expected);
    tag->load(settings);
    tag->setRawData(raw);
    QSignalSpy changes(tag.get(), &Tag::valueChanged);
    const QDateTime before = tag->timestamp();

    tag->tagRequesting();
    const QVariant result = tag->read();

    QCOMPARE(result.typeId(), expected.typeId());
    QCOMPARE(result, expected);
    QCOMPARE(tag->value(), expected);
    QCOMPARE(tag->result(), 1);
    QCOMPARE(tag->state(), 2);
    QCOMPARE(changes.size(), 1);
    QVERIFY(tag->timestamp() >= before);
}

void TestTag::accessGatesTransfers_data()
{
    QTest::addColumn<QString>("access");
    QTest::addColumn<bool>("reading");
    QTest::addColumn<int>("resultCode");

    QTest::newRow("read of ReadOnly") << "ReadOnly" << true << 1;
    QTest::newRow("read of WriteOnly refused") << "WriteOnly" << true << 3;
    QTest::newRow("write of ReadOnly refused") << "ReadOnly" << false << 3;
    QTest::newRow("write of WriteOnly") << "WriteOnly" << false << 1;
    QTest::newRow("write of ReadWrite") << "ReadWrite" << false << 1;
}

void TestTag::accessGatesTransfers()
{
    QFETCH(QString, access);
    QFETCH(bool, reading);
    QFETCH(int, resultCode);
    QVariantMap settings = typed(QStringLiteral("int16"), access);
    settings.insert(QStringLiteral("value"), 7);
    tag->load(settings);
    tag->setRawData(QByteArray::fromHex("0900"));
    device->setLastErrorText(QStringLiteral("line down"));

    tag->tagRequesting();
    if (reading)
        QCOMPARE(tag->read(), QVariant(resultCode == 1 ? 9 : 7));
    else
        QCOMPARE(tag->write(5), resultCode == 1);

    QCOMPARE(tag->result(), resultCode);
    QCOMPARE(tag->state(), resultCode == 1 ? 2 : 3);
    QCOMPARE(tag->errorCounter(), resultCode == 1 ? 0 : 1);
    QCOMPARE(tag->lastErrorText(), QStringLiteral("line down"));
    if (resultCode != 1)
        QCOMPARE(tag->value(), QVariant(7));
    // The request lock is free again on every path.
    tag->tagRequesting();
    tag->read();
}

void TestTag::writeStoresWithoutTimestamp()
{
    tag->load(typed(QStringLiteral("int32"), QStringLiteral("ReadWrite")));
    const QDateTime stamp = tag->timestamp();
    QSignalSpy changes(tag.get(), &Tag::valueChanged);
    QSignalSpy writes(tag.get(), &Tag::writeRequest);

    tag->tagRequesting();
    QVERIFY(tag->write(5));
    QCOMPARE(tag->value(), QVariant(5));
    tag->requestWrite(6);
    QCOMPARE(tag->value(), QVariant(6));

    QCOMPARE(tag->timestamp(), stamp);
    QCOMPARE(changes.size(), 0);
    QCOMPARE(writes.size(), 1);
}

void TestTag::requesterWaitsForWorker_data()
{
    QTest::addColumn<QString>("access");
    QTest::addColumn<bool>("reading");
    QTest::newRow("worker reads") << "ReadOnly" << true;
    QTest::newRow("worker read refused") << "WriteOnly" << true;
    QTest::newRow("worker writes") << "ReadWrite" << false;
    QTest::newRow("worker write refused") << "ReadOnly" << false;
}

void TestTag::requesterWaitsForWorker()
{
    QFETCH(QString, access);
    QFETCH(bool, reading);
    tag->load(typed(QStringLiteral("uint16"), access));
    tag->setRawData(QByteArray::fromHex("0200"));

    tag->tagRequesting();
    std::thread worker([this, reading] {
        tag->tagRequesting();
        if (reading)
            tag->read();
        else
            tag->write(11);
    });
    tag->waitTagRequested();
    worker.join();

    QVERIFY(tag->result() == 1 || tag->result() == 3);
}

void TestTag::valueText_data()
{
    QTest::addColumn<QVariantMap>("values");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");

    const QVariantMap onOff = {{QStringLiteral("1"), QStringLiteral("On")}, {QStringLiteral("0"), QStringLiteral("Off")}};
    QTest::newRow("whole number found") << onOff << QString() << QVariant(1) << "On";
    QTest::newRow("fraction has no text") << onOff << QString() << QVariant(1.5) << QString();
    QTest::newRow("negative number has no text") << onOff << QString() << QVariant(-1) << QString();
    QTest::newRow("invalid value falls back to key 0") << onOff << QString() << QVariant() << "Off";
    QTest::newRow("leading zero key as fallback")
        << QVariantMap{{QStringLiteral("01"), QStringLiteral("One")}} << QString() << QVariant(1) << "One";
    QTest::newRow("prefixed key") << QVariantMap{{QStringLiteral("k1"), QStringLiteral("X")}} << "k" << QVariant(1)
                                  << "X";
    QTest::newRow("prefix tries no other key") << onOff << "k" << QVariant(1) << QString();
    QTest::newRow("no values map") << QVariantMap() << QString() << QVariant(1) << QString();
}

void TestTag::valueText()
{
    QFETCH(QVariantMap, values);
    QFETCH(QString, prefix);
    QFETCH(QVariant, value);
    QFETCH(QString, text);
    tag->load({{QStringLiteral("values"), values}});
    tag->setProperty("values_prefix", prefix);
    tag->setValue(value);
    QCOMPARE(tag->valueText(), text);
}

void TestTag::limits_data()
{
    QTest::addColumn<QVariantList>("limits");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("outside");

    const QVariantList zeroToTen = {0, 10};
    QTest::newRow("upper limit is inside") << zeroToTen << QVariant(10) << false;
    QTest::newRow("lower limit is inside") << zeroToTen << QVariant(0.0f) << false;
    QTest::newRow("above") << zeroToTen << QVariant(10.5) << true;
    QTest::newRow("below") << zeroToTen << QVariant(-0.1) << true;
    QTest::newRow("not a number") << zeroToTen << QVariant(std::nanf("")) << true;
    QTest::newRow("one limit") << QVariantList{0} << QVariant(50) << false;
    QTest::newRow("three limits") << QVariantList{0, 1, 2} << QVariant(50) << false;
}

void TestTag::limits()
{
    QFETCH(QVariantList, limits);
    QFETCH(QVariant, value);
    QFETCH(bool, outside);
    tag->load({{QStringLiteral("limits"), limits}, {QStringLiteral("value"), value}});
    QCOMPARE(tag->isOutOfLimits(), outside);
}

void TestTag::nanOrInf_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("nanOrInf");
    QTest::newRow("NaN float") << QVariant(std::nanf("")) << true;
    QTest::newRow("infinite double") << QVariant(HUGE_VAL) << true;
    QTest::newRow("negative infinity") << QVariant(-HUGE_VALF) << true;
    QTest::newRow("number") << QVariant(1.5f) << false;
    QTest::newRow("text NAN in capitals") << QVariant(QStringLiteral("NAN")) << false;
}

void TestTag::nanOrInf()
{
    QFETCH(QVariant, value);
    QFETCH(bool, nanOrInf);
    tag->setValue(value);
    QCOMPARE(tag->isNanOrInf(), nanOrInf);
}

void TestTag::addressValue_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<uint>("number");
    QTest::newRow("0x prefix") << "0x1F" << 31u;
    QTest::newRow("h suffix") << "1Fh" << 31u;
    QTest::newRow("0X prefix") << "0X10" << 16u;
    QTest::newRow("decimal") << "12" << 12u;
    QTest::newRow("hex digits without marks") << "1F" << 0u;
    QTest::newRow("empty") << QString() << 0u;
}

void TestTag::addressValue()
{
    QFETCH(QString, address);
    QFETCH(uint, number);
    tag->load({{QStringLiteral("address"), address}});
    QCOMPARE(tag->addressValue(), number);
}

void TestTag::channelGroup_data()
{
    QTest::addColumn<QStringList>("group");
    QTest::addColumn<bool>("channel");
    QTest::addColumn<QString>("second");
    QTest::newRow("channel in capitals") << QStringList{QStringLiteral("CHANNEL"), QStringLiteral("3")} << true << "3";
    QTest::newRow("another kind") << QStringList{QStringLiteral("group"), QStringLiteral("3")} << false << "3";
    QTest::newRow("one entry") << QStringList{QStringLiteral("channel")} << false << QString();
    QTest::newRow("three entries") << QStringList{QStringLiteral("channel"), QStringLiteral("1"), QStringLiteral("2")}
                                   << false << QString();
}

void TestTag::channelGroup()
{
    QFETCH(QStringList, group);
    QFETCH(bool, channel);
    QFETCH(QString, second);
    tag->load({{QStringLiteral("config_group"), group}});
    QCOMPARE(tag->isChannel(), channel);
    QCOMPARE(tag->configGroupSecond(), second);
    QCOMPARE(tag->channels().size(), channel ? 1 : 0);
    QCOMPARE(tag->tags(), QList<Tag *>{tag.get()});
}

void TestTag::messageLogKeepsNewestLines()
{
    for (int line = 0; line <= Tag::MessageLogLimit; ++line)
        tag->appendModbusMessage(QString::number(line));
    const QStringList log = tag->messageLog();
    QCOMPARE(log.size(), 10000);
    QCOMPARE(log.first(), QStringLiteral("1"));
    QCOMPARE(log.last(), QStringLiteral("10000"));
}

QTEST_MAIN(TestTag)
#include "tst_tag.moc"
