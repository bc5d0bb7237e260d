#include "devices/acivel/aciveldevice.h"
#include "model/device.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/port.h"
#include "model/server.h"

#include <QDate>
#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include <memory>

// The universal and common-practice commands of a device, against the simulated slave:
// decoding of reads, requests and echo handling of writes, revision 5, additional status.
class TestDeviceCommands : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void commandNames_data();
    void commandNames();
    void readDecoding_data();
    void readDecoding();
    void readRenamesAfterTag_data();
    void readRenamesAfterTag();
    void shortReplyStoresNothing_data();
    void shortReplyStoresNothing();
    void revision5SkipsCommands_data();
    void revision5SkipsCommands();
    void readWithoutDecodingRuleFails_data();
    void readWithoutDecodingRuleFails();
    void readIdentityEmptiesMapFirst();
    void writeRequests_data();
    void writeRequests();
    void writeThenReadShowsNewValue();
    void echoMismatchIsAFailure_data();
    void echoMismatchIsAFailure();
    void writeTagRenamesEvenWhenEchoDiffers();
    void slotMatching_data();
    void slotMatching();
    void cutSlotGroupsAreNotStored_data();
    void cutSlotGroupsAreNotStored();
    void variableInformation_data();
    void variableInformation();
    void identificationWrites();
    void storeStatusParameters();
    void additionalStatusLines_data();
    void additionalStatusLines();
    void additionalStatusFollowUp();
    void acknowledgementIsBounded();
    void failedStatusReadKeepsText();
    void russianTexts_data();
    void russianTexts();

private:
    Device *addDevice(const QString &templateName, quint8 pollingAddress = 0);
    void setSimValue(const QString &key, const QVariant &value);
    QList<HartSimRequest> requestsOf(quint8 command) const;

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Port *m_port = nullptr;
    Device *m_device = nullptr;
};

void TestDeviceCommands::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    m_sim->addDevice(HartSimDevice(0));
    m_server = std::make_unique<Server>();
    m_port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(m_port->setSerialName(m_sim->portName()));
    m_port->hartPort.setProperty("response_timeout", 100);
    m_port->hartPort.setProperty("byte_timeout", 20);
    m_device = addDevice(QStringLiteral("General"));
}

void TestDeviceCommands::cleanup()
{
    m_server.reset();
    m_sim.reset();
}

Device *TestDeviceCommands::addDevice(const QString &templateName, quint8 pollingAddress)
{
    Device *device = m_port->createDevice(templateName);
    device->setAddress(pollingAddress);
    m_port->insertChild(-1, device);
    return device;
}

void TestDeviceCommands::setSimValue(const QString &key, const QVariant &value)
{
    m_sim->updateDevice(0, [&](HartSimDevice &device) { device.values.insert(key, value); });
}

QList<HartSimRequest> TestDeviceCommands::requestsOf(quint8 command) const
{
    QList<HartSimRequest> found;
    const QList<HartSimRequest> all = m_sim->requests();
    for (const HartSimRequest &request : all) {
        if (request.command == command)
            found.append(request);
    }
    return found;
}

void TestDeviceCommands::commandNames_data()
{
    QTest::addColumn<bool>("writing");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("name");
    QTest::newRow("read 13") << false << 13 << QStringLiteral("tag, descriptor, data");
    QTest::newRow("read 4 has none") << false << 4 << QString();
    QTest::newRow("read 9 has none") << false << 9 << QString();
    QTest::newRow("read 21 has none") << false << 21 << QString();
    QTest::newRow("read above 73 has none") << false << 74 << QString();
    QTest::newRow("write 38 ends in a blank") << true << 38 << QStringLiteral("reset config changed flag ");
    QTest::newRow("write 5 has none") << true << 5 << QString();
    QTest::newRow("write 7 has none") << true << 7 << QString();
    QTest::newRow("write 130 has none") << true << 130 << QString();
}

void TestDeviceCommands::commandNames()
{
    QFETCH(bool, writing);
    QFETCH(int, command);
    QFETCH(QString, name);
    QCOMPARE(writing ? m_device->writeCommandName(command) : m_device->readCommandName(command), name);
}

void TestDeviceCommands::readDecoding_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QVariantMap>("expected");
    QTest::addColumn<QStringList>("untouched");

    const QStringList noKeys;
    const QStringList secondary{QStringLiteral("SV_unit_code"), QStringLiteral("SV")};
    const QStringList tertiary{QStringLiteral("TV_unit_code"), QStringLiteral("TV")};
    const QStringList quaternary{QStringLiteral("QV_unit_code"), QStringLiteral("QV")};
    const QByteArray group1 = QByteArray::fromHex("41800000" "20" "41200000");   // 16.0 mA, °C, 10.0
    const QByteArray sv = QByteArray::fromHex("07" "3f800000");
    const QByteArray tv = QByteArray::fromHex("0c" "40000000");
    const QByteArray qv = QByteArray::fromHex("27" "40400000");
    const QVariantMap first{{QStringLiteral("output_current"), 16.0f}, {QStringLiteral("PV_unit_code"), 32},
                            {QStringLiteral("PV"), 10.0f}};
    QVariantMap withSv = first;
    withSv.insert({{QStringLiteral("SV_unit_code"), 7}, {QStringLiteral("SV"), 1.0f}});
    QVariantMap withTv = withSv;
    withTv.insert({{QStringLiteral("TV_unit_code"), 12}, {QStringLiteral("TV"), 2.0f}});
    QVariantMap withQv = withTv;
    withQv.insert({{QStringLiteral("QV_unit_code"), 39}, {QStringLiteral("QV"), 3.0f}});

    QTest::newRow("1: unit and PV") << 1 << QByteArray::fromHex("2041200000")
                                    << QVariantMap{{QStringLiteral("PV_unit_code"), 32}, {QStringLiteral("PV"), 10.0f}}
                                    << noKeys;
    QTest::newRow("2: current and percent") << 2 << QByteArray::fromHex("4180000042480000")
                                            << QVariantMap{{QStringLiteral("output_current"), 16.0f},
                                                           {QStringLiteral("output_current_%"), 50.0f}}
                                            << noKeys;
    QTest::newRow("3 with 9 bytes keeps SV, TV, QV") << 3 << group1 << first << secondary + tertiary + quaternary;
    QTest::newRow("3 with 14 bytes adds SV") << 3 << group1 + sv << withSv << tertiary + quaternary;
    QTest::newRow("3 with 19 bytes adds TV") << 3 << group1 + sv + tv << withTv << quaternary;
    QTest::newRow("3 with 24 bytes has all") << 3 << group1 + sv + tv + qv << withQv << noKeys;
    QTest::newRow("3 with 12 bytes keeps a cut-off SV") << 3 << group1 + sv.left(3) << first << secondary;
    QTest::newRow("3 with 23 bytes keeps a cut-off QV") << 3 << group1 + sv + tv + qv.left(4) << withTv << quaternary;
    QTest::newRow("8: classifications") << 8 << QByteArray::fromHex("40415455")
                                        << QVariantMap{{QStringLiteral("PV_class_code"), 64},
                                                       {QStringLiteral("SV_class_code"), 65},
                                                       {QStringLiteral("TV_class_code"), 84},
                                                       {QStringLiteral("QV_class_code"), 85}}
                                        << noKeys;
    QTest::newRow("12: message") << 12 << HartSimUniversalCommands::pack(QStringLiteral("HELLO WORLD"), 32)
                                 << QVariantMap{{QStringLiteral("message"), QStringLiteral("HELLO WORLD")}} << noKeys;
    QTest::newRow("14: sensor") << 14 << QByteArray::fromHex("010203" "20" "42c80000" "c2480000" "40a00000")
                                << QVariantMap{{QStringLiteral("sensor_number"), 0x010203u},
                                               {QStringLiteral("sensor_unit_code"), 32},
                                               {QStringLiteral("sensor_range_max"), 100.0f},
                                               {QStringLiteral("sensor_range_min"), -50.0f},
                                               {QStringLiteral("sensor_minimum_range"), 5.0f}}
                                << noKeys;
    QTest::newRow("15 with 15 bytes zeroes the last two")
        << 15 << QByteArray::fromHex("00" "01" "20" "42c80000" "00000000" "3f800000")
        << QVariantMap{{QStringLiteral("PV_alarm_selection_code"), 0}, {QStringLiteral("conversion_function"), 1},
                       {QStringLiteral("range_unit_code"), 32}, {QStringLiteral("range_max"), 100.0f},
                       {QStringLiteral("range_min"), 0.0f}, {QStringLiteral("damping_time"), 1.0f},
                       {QStringLiteral("write_protection"), 0}, {QStringLiteral("distributor_label"), 0}}
        << noKeys;
    QTest::newRow("16: final assembly number") << 16 << QByteArray::fromHex("fffffe")
                                               << QVariantMap{{QStringLiteral("final_assembly_number"), 16777214u}}
                                               << noKeys;
    QTest::newRow("20: long tag up to the first zero") << 20 << QByteArray("FT-201").leftJustified(32, '\0')
                                                       << QVariantMap{{QStringLiteral("long_tag"), QStringLiteral("FT-201")}}
                                                       << noKeys;
    QTest::newRow("50: assignments") << 50 << QByteArray::fromHex("00010203")
                                     << QVariantMap{{QStringLiteral("PV_dev_variable_code"), 0},
                                                    {QStringLiteral("SV_dev_variable_code"), 1},
                                                    {QStringLiteral("TV_dev_variable_code"), 2},
                                                    {QStringLiteral("QV_dev_variable_code"), 3}}
                                     << noKeys;
}

void TestDeviceCommands::readDecoding()
{
    QFETCH(int, command);
    QFETCH(QByteArray, reply);
    QFETCH(QVariantMap, expected);
    QFETCH(QStringList, untouched);
    setSimValue(QStringLiteral("reply_data_%1").arg(command), reply);
    for (const QString &key : untouched)
        m_device->setParameter(key, QStringLiteral("before"));

    QVERIFY(m_device->readDevice(command));
    // The type counts too: pages and measurements rely on floats staying floats.
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant actual = m_device->parameter(it.key());
        QVERIFY2(actual.metaType() == it.value().metaType(), qPrintable(it.key() + QLatin1Char(' ') + actual.typeName()));
        QCOMPARE(actual, it.value());
    }
    for (const QString &key : untouched)
        QCOMPARE(m_device->parameterString(key), QStringLiteral("before"));
}

void TestDeviceCommands::readRenamesAfterTag_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("siblingHasName");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");
    const QByteArray tag = HartSimUniversalCommands::pack(QStringLiteral("TT101"), 8);
    const QByteArray descriptor = HartSimUniversalCommands::pack(QStringLiteral("FEED WATER"), 16);
    QTest::newRow("tag and date") << tag + descriptor + QByteArray::fromHex("0f0678") << false << QDate(2020, 6, 15)
                                  << QStringLiteral("General_{TT101}");
    QTest::newRow("day 0 is an invalid date") << tag + descriptor + QByteArray::fromHex("000678") << false << QDate()
                                              << QStringLiteral("General_{TT101}");
    QTest::newRow("sibling has the name") << tag + descriptor + QByteArray::fromHex("0f0678") << true
                                          << QDate(2020, 6, 15) << QStringLiteral("General_{TT101}_1");
    QTest::newRow("empty tag names by address")
        << HartSimUniversalCommands::pack(QString(), 8) + descriptor + QByteArray::fromHex("0f0678") << false
        << QDate(2020, 6, 15) << QStringLiteral("General_{3}");
}

void TestDeviceCommands::readRenamesAfterTag()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, siblingHasName);
    QFETCH(QDate, date);
    QFETCH(QString, name);
    if (siblingHasName)
        addDevice(QStringLiteral("General"))->setName(QStringLiteral("General_{TT101}"));
    m_device->setAddress(3);
    m_sim->updateDevice(0, [](HartSimDevice &device) { device.pollingAddress = 3; });
    m_sim->updateDevice(3, [&](HartSimDevice &device) { device.values.insert(QStringLiteral("reply_data_13"), reply); });

    QVERIFY(m_device->readDevice(13));
    QCOMPARE(m_device->parameter(QStringLiteral("date")).toDate(), date);
    QCOMPARE(m_device->name(), name);
    QCOMPARE(m_port->deviceByKey(name), m_device);
}

void TestDeviceCommands::shortReplyStoresNothing_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("key");
    QTest::newRow("1 with the unit alone") << 1 << QByteArray::fromHex("20") << "PV";
    QTest::newRow("13 cut inside the tag") << 13 << QByteArray::fromHex("4d3c") << "tag";
    QTest::newRow("14 cut inside the range") << 14 << QByteArray::fromHex("0000002043") << "sensor_range_max";
    QTest::newRow("write 40 answering one byte of the current") << -40 << QByteArray::fromHex("02") << "fixed_current";
    QTest::newRow("write 54 cut inside the limits") << -54 << QByteArray::fromHex("0200000720") << "dev_variable_sensor";
}

void TestDeviceCommands::shortReplyStoresNothing()
{
    QFETCH(int, command);
    QFETCH(QByteArray, reply);
    QFETCH(QString, key);
    setSimValue(QStringLiteral("reply_data_%1").arg(qAbs(command)), reply);   // below 0: a write
    const QString name = m_device->name();
    m_device->setParameter(QStringLiteral("dev_variable_code"), 2);
    m_device->removeParameter(key);

    QVERIFY(command < 0 ? !m_device->writeDevice(-command) : !m_device->readDevice(command));
    QVERIFY(!m_device->hasParameter(key));
    QCOMPARE(m_device->name(), name);
    QVERIFY(m_device->lastErrorText().contains(QStringLiteral("too short")));
}

void TestDeviceCommands::revision5SkipsCommands_data()
{
    QTest::addColumn<QVariant>("version");
    QTest::addColumn<int>("command");
    QTest::addColumn<bool>("sent");
    QTest::newRow("8 on revision 5") << QVariant(5) << 8 << false;
    QTest::newRow("7 on revision 5") << QVariant(5) << 7 << false;
    QTest::newRow("20 on revision 5") << QVariant(5) << 20 << false;
    QTest::newRow("1 on revision 5") << QVariant(5) << 1 << true;
    QTest::newRow("8 on revision 6") << QVariant(6) << 8 << true;
    QTest::newRow("8 on revision 7") << QVariant(7) << 8 << true;
    QTest::newRow("8 never identified") << QVariant() << 8 << true;
}

void TestDeviceCommands::revision5SkipsCommands()
{
    QFETCH(QVariant, version);
    QFETCH(int, command);
    QFETCH(bool, sent);
    if (version.isValid())
        m_device->setParameter(QStringLiteral("universal_cmd_version"), version);
    QVERIFY(m_device->readDevice(command));
    QCOMPARE(m_sim->requestCount(), sent ? 1 : 0);
    if (!sent) {
        QCOMPARE(m_device->logLines(),
                 QStringList{QStringLiteral("Device command version is 5. Command #%1 not supported").arg(command)});
    }
}

void TestDeviceCommands::readWithoutDecodingRuleFails_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("9") << 9;
    QTest::newRow("21") << 21;
}

void TestDeviceCommands::readWithoutDecodingRuleFails()
{
    QFETCH(int, command);
    m_device->setParameter(QStringLiteral("universal_cmd_version"), 7);
    m_sim->setHandler(quint8(command), [](HartSimDevice &, const QByteArray &) { return HartSimResponse(); });
    QVERIFY(!m_device->readDevice(command));
    QCOMPARE(m_sim->requests().last().command, quint8(command));
    QCOMPARE(m_device->result(), 1);
}

void TestDeviceCommands::readIdentityEmptiesMapFirst()
{
    m_device->setParameter(QStringLiteral("stale"), 1);
    QVERIFY(m_device->readDevice(0));
    QVERIFY(!m_device->hasParameter(QStringLiteral("stale")));
    QCOMPARE(m_device->parameterInt(QStringLiteral("device_type_code")), 0x4E);
}

void TestDeviceCommands::writeRequests_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QVariantMap>("parameters");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("counted");

    const QVariantMap none;
    QTest::newRow("6: address and loop mode") << 6
                                              << QVariantMap{{QStringLiteral("polling_address"), 3},
                                                             {QStringLiteral("current_loop_mode"), 1}}
                                              << QByteArray::fromHex("0301") << 1;
    QTest::newRow("6 on revision 5: address alone")
        << 6
        << QVariantMap{{QStringLiteral("polling_address"), 3}, {QStringLiteral("current_loop_mode"), 1},
                       {QStringLiteral("universal_cmd_version"), 5}}
        << QByteArray::fromHex("03") << 1;
    QTest::newRow("6: a byte keeps its low 8 bits") << 6
                                                    << QVariantMap{{QStringLiteral("polling_address"), 256},
                                                                   {QStringLiteral("current_loop_mode"), 1}}
                                                    << QByteArray::fromHex("0001") << 1;
    QTest::newRow("9: slot codes up to the first missing, 250 left out")
        << 9
        << QVariantMap{{QStringLiteral("slot_0_code"), 0}, {QStringLiteral("slot_1_code"), 250},
                       {QStringLiteral("slot_2_code"), 1}, {QStringLiteral("slot_4_code"), 4}}
        << QByteArray::fromHex("0001") << 0;
    QTest::newRow("9 without slot 0 sends nothing") << 9 << QVariantMap{{QStringLiteral("slot_1_code"), 1}}
                                                    << QByteArray() << 0;
    QTest::newRow("17: message upper-cased and padded")
        << 17 << QVariantMap{{QStringLiteral("message"), QStringLiteral("hello")}}
        << HartSimUniversalCommands::pack(QStringLiteral("HELLO"), 32) << 1;
    QTest::newRow("18: tag, descriptor and date")
        << 18
        << QVariantMap{{QStringLiteral("tag"), QStringLiteral("tt101")}, {QStringLiteral("descriptor"), QStringLiteral("feed")},
                       {QStringLiteral("date"), QDate(2020, 6, 15)}}
        << HartSimUniversalCommands::pack(QStringLiteral("TT101"), 8) + HartSimUniversalCommands::pack(QStringLiteral("FEED"), 16)
               + QByteArray::fromHex("0f0678")
        << 1;
    QTest::newRow("18: over-long tag is cut to its field")
        << 18
        << QVariantMap{{QStringLiteral("tag"), QStringLiteral("ABCDEFGHIJ")}, {QStringLiteral("date"), QDate(2000, 1, 2)}}
        << HartSimUniversalCommands::pack(QStringLiteral("ABCDEFGH"), 8) + HartSimUniversalCommands::pack(QString(), 16)
               + QByteArray::fromHex("020164")
        << 1;
    QTest::newRow("19: three bytes") << 19 << QVariantMap{{QStringLiteral("final_assembly_number"), 0x01020304}}
                                     << QByteArray::fromHex("020304") << 1;
    QTest::newRow("22: short long tag padded with zeros")
        << 22 << QVariantMap{{QStringLiteral("long_tag"), QStringLiteral("ABC")}}
        << QByteArray("ABC").leftJustified(32, '\0') << 1;
    QTest::newRow("22: long tag cut to 32") << 22 << QVariantMap{{QStringLiteral("long_tag"), QString(40, QLatin1Char('X'))}}
                                            << QByteArray(32, 'X') << 1;
    QTest::newRow("34: damping") << 34 << QVariantMap{{QStringLiteral("damping_time"), 1.0f}}
                                 << QByteArray::fromHex("3f800000") << 1;
    QTest::newRow("35: range") << 35
                               << QVariantMap{{QStringLiteral("range_unit_code"), 32},
                                              {QStringLiteral("range_max"), 100.0f}, {QStringLiteral("range_min"), -2.5f}}
                               << QByteArray::fromHex("2042c80000c0200000") << 1;
    QTest::newRow("36 counted without data") << 36 << none << QByteArray() << 1;
    QTest::newRow("37 counted without data") << 37 << none << QByteArray() << 1;
    QTest::newRow("38 sends the counter, not counted") << 38 << QVariantMap{{QStringLiteral("modify_count"), 258}}
                                                       << QByteArray::fromHex("0102") << 0;
    QTest::newRow("41 not counted") << 41 << none << QByteArray() << 0;
    QTest::newRow("42 not counted") << 42 << none << QByteArray() << 0;
    QTest::newRow("43 counted without data") << 43 << none << QByteArray() << 1;
    QTest::newRow("44: units") << 44 << QVariantMap{{QStringLiteral("input_units"), 12}} << QByteArray::fromHex("0c") << 1;
    QTest::newRow("45: decoded and counted") << 45 << QVariantMap{{QStringLiteral("adjust_4mA"), 4.0f}}
                                             << QByteArray::fromHex("40800000") << 1;
    QTest::newRow("49: sensor number") << 49 << QVariantMap{{QStringLiteral("sensor_number"), 7}}
                                       << QByteArray::fromHex("000007") << 1;
    QTest::newRow("51: assignments")
        << 51
        << QVariantMap{{QStringLiteral("PV_dev_variable_code"), 1}, {QStringLiteral("SV_dev_variable_code"), 2},
                       {QStringLiteral("TV_dev_variable_code"), 3}, {QStringLiteral("QV_dev_variable_code"), 4}}
        << QByteArray::fromHex("01020304") << 1;
    QTest::newRow("59: preambles") << 59 << QVariantMap{{QStringLiteral("preambles_count"), 7}}
                                   << QByteArray::fromHex("07") << 1;
    QTest::newRow("129: write protection") << 129 << QVariantMap{{QStringLiteral("write_protection"), 1}}
                                           << QByteArray::fromHex("01") << 1;
}

void TestDeviceCommands::writeRequests()
{
    QFETCH(int, command);
    QFETCH(QVariantMap, parameters);
    QFETCH(QByteArray, request);
    QFETCH(int, counted);
    if (parameters.value(QStringLiteral("universal_cmd_version")).toInt() == 5)
        m_sim->updateDevice(0, [](HartSimDevice &device) { device.universalRevision = 5; });
    const int modifyCount = parameters.value(QStringLiteral("modify_count"), 10).toInt();
    m_device->setParameter(QStringLiteral("modify_count"), modifyCount);
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        m_device->setParameter(it.key(), it.value());

    QVERIFY(m_device->writeDevice(command));
    QCOMPARE(m_sim->requests().last().command, quint8(command));
    QCOMPARE(m_sim->requests().last().data, request);
    QCOMPARE(m_device->parameterInt(QStringLiteral("modify_count")), modifyCount + counted);
    QVERIFY(m_device->hasStateFlag(Device::StateSavedInDevice));
    QCOMPARE(m_device->result(), 1);
}

void TestDeviceCommands::writeThenReadShowsNewValue()
{
    m_device->setParameter(QStringLiteral("range_unit_code"), 32);
    m_device->setParameter(QStringLiteral("range_max"), 150.0f);
    m_device->setParameter(QStringLiteral("range_min"), -20.0f);
    QVERIFY(m_device->writeDevice(35));
    m_device->setParameter(QStringLiteral("range_max"), 0.0f);
    QVERIFY(m_device->readDevice(15));
    QCOMPARE(m_device->parameterFloat(QStringLiteral("range_max")), 150.0f);
    QCOMPARE(m_device->parameterFloat(QStringLiteral("range_min")), -20.0f);
}

void TestDeviceCommands::echoMismatchIsAFailure_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("6 answered with the address alone") << 6 << QByteArray::fromHex("03");
    QTest::newRow("34 answered with another value") << 34 << QByteArray::fromHex("40000000");
}

void TestDeviceCommands::echoMismatchIsAFailure()
{
    QFETCH(int, command);
    QFETCH(QByteArray, reply);
    setSimValue(QStringLiteral("reply_data_%1").arg(command), reply);
    m_device->setParameter(QStringLiteral("polling_address"), 3);
    m_device->setParameter(QStringLiteral("damping_time"), 1.0f);
    m_device->setParameter(QStringLiteral("modify_count"), 5);
    QSignalSpy errors(m_device, &Device::deviceError);

    QVERIFY(!m_device->writeDevice(command));
    QCOMPARE(m_device->lastErrorText(), QStringLiteral("*** cmdData != response"));
    QCOMPARE(m_device->state(), int(ServerItem::StateFailure));
    QVERIFY(m_device->result() != 1);
    QCOMPARE(m_device->errorCounter(), 1);
    QCOMPARE(m_device->parameterInt(QStringLiteral("modify_count")), 5);
    QCOMPARE(m_device->logLines().last(), QStringLiteral("*** cmdData != response"));
    QCOMPARE(errors.last().first().toString(), QStringLiteral("*** cmdData != response"));
}

void TestDeviceCommands::writeTagRenamesEvenWhenEchoDiffers()
{
    m_device->setParameter(QStringLiteral("tag"), QStringLiteral("PT7"));
    m_device->setParameter(QStringLiteral("date"), QDate(2021, 2, 3));
    setSimValue(QStringLiteral("reply_data_18"), QByteArray(21, '\0'));
    QVERIFY(!m_device->writeDevice(18));
    QCOMPARE(m_device->name(), QStringLiteral("General_{PT7}"));

    // A write that reaches the device shows in the next read.
    setSimValue(QStringLiteral("reply_data_18"), QVariant());
    m_sim->updateDevice(0, [](HartSimDevice &device) { device.values.remove(QStringLiteral("reply_data_18")); });
    m_device->setParameter(QStringLiteral("tag"), QStringLiteral("FT9"));
    QVERIFY(m_device->writeDevice(18));
    m_device->setParameter(QStringLiteral("tag"), QString());
    QVERIFY(m_device->readDevice(13));
    QCOMPARE(m_device->parameterString(QStringLiteral("tag")), QStringLiteral("FT9"));
    QCOMPARE(m_device->parameter(QStringLiteral("date")).toDate(), QDate(2021, 2, 3));
    QCOMPARE(m_device->name(), QStringLiteral("General_{FT9}"));
}

void TestDeviceCommands::slotMatching_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QList<int>>("slotCodes");
    QTest::addColumn<QList<int>>("storedSlots");
    QTest::newRow("9: every slot answered") << 9 << QList<int>{1, 2} << QList<int>{0, 1};
    QTest::newRow("9: a code left out shifts the next group") << 9 << QList<int>{1, 250, 2} << QList<int>{0};
    QTest::newRow("9: a variable the device lacks shifts the rest") << 9 << QList<int>{7, 1, 2} << QList<int>{};
    QTest::newRow("33: every slot answered") << 33 << QList<int>{1, 2, 3} << QList<int>{0, 1, 2};
    QTest::newRow("33: a code left out shifts the next group") << 33 << QList<int>{1, 250, 2} << QList<int>{0};
}

void TestDeviceCommands::slotMatching()
{
    QFETCH(int, command);
    QFETCH(QList<int>, slotCodes);
    QFETCH(QList<int>, storedSlots);
    m_sim->updateDevice(0, [](HartSimDevice &device) {
        device.extendedStatus = 2;
        for (int code : {1, 2, 3}) {
            device.values.insert(QStringLiteral("variable_%1_class").arg(code), 64 + code);
            device.values.insert(QStringLiteral("variable_%1_unit_code").arg(code), 30 + code);
            device.values.insert(QStringLiteral("variable_%1_value").arg(code), float(code) * 1.5f);
            device.values.insert(QStringLiteral("variable_%1_status").arg(code), 0xC0);
        }
    });
    for (int slot = 0; slot < slotCodes.size(); ++slot)
        m_device->setParameter(QStringLiteral("slot_%1_code").arg(slot), slotCodes.at(slot));

    QVERIFY(m_device->writeDevice(command));
    for (int slot = 0; slot < slotCodes.size(); ++slot) {
        const int code = slotCodes.at(slot);
        const bool stored = storedSlots.contains(slot);
        QCOMPARE(m_device->hasParameter(QStringLiteral("slot_%1_value").arg(slot)), stored);
        if (!stored)
            continue;
        QCOMPARE(m_device->parameterInt(QStringLiteral("slot_%1_unit_code").arg(slot)), 30 + code);
        QCOMPARE(m_device->parameterFloat(QStringLiteral("slot_%1_value").arg(slot)), float(code) * 1.5f);
        if (command == 9) {
            QCOMPARE(m_device->parameterInt(QStringLiteral("slot_%1_class").arg(slot)), 64 + code);
            QCOMPARE(m_device->parameterInt(QStringLiteral("slot_%1_status").arg(slot)), 0xC0);
        }
    }
    if (command == 9)
        QCOMPARE(m_device->parameterInt(QStringLiteral("extended_status")), 2);
}

void TestDeviceCommands::cutSlotGroupsAreNotStored_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QList<int>>("storedSlots");
    const QByteArray group33 = QByteArray::fromHex("00" "20" "3f800000");
    QTest::newRow("33: three groups and two bytes of a fourth")
        << 33 << group33 + group33 + group33 + group33.left(2) << QList<int>{0, 1, 2};
    QTest::newRow("33: a group cut inside its value") << 33 << group33.left(5) << QList<int>{};
    QTest::newRow("9: status and a group cut inside its value")
        << 9 << QByteArray::fromHex("02" "00" "40" "20" "3f80") << QList<int>{};
    QTest::newRow("9: status, a whole group and a time stamp")
        << 9 << QByteArray::fromHex("02" "00" "40" "20" "3f800000" "c0" "00000000") << QList<int>{0};
}

void TestDeviceCommands::cutSlotGroupsAreNotStored()
{
    QFETCH(int, command);
    QFETCH(QByteArray, reply);
    QFETCH(QList<int>, storedSlots);
    setSimValue(QStringLiteral("reply_data_%1").arg(command), reply);
    for (int slot = 0; slot < 4; ++slot)
        m_device->setParameter(QStringLiteral("slot_%1_code").arg(slot), 0);

    QVERIFY(m_device->writeDevice(command));
    for (int slot = 0; slot < 4; ++slot) {
        const bool stored = storedSlots.contains(slot);
        QCOMPARE(m_device->hasParameter(QStringLiteral("slot_%1_value").arg(slot)), stored);
        if (stored)
            QCOMPARE(m_device->parameterFloat(QStringLiteral("slot_%1_value").arg(slot)), 1.0f);
    }
    if (command == 9)
        QCOMPARE(m_device->parameterInt(QStringLiteral("extended_status")), 2);
}

void TestDeviceCommands::variableInformation_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("stored");
    QTest::newRow("matching code is decoded")
        << QByteArray::fromHex("02" "000007" "20" "42c80000" "c2480000" "3f800000" "40a00000" "40" "04") << true;
    QTest::newRow("another code stores nothing") << QByteArray::fromHex("05000007") << false;
}

void TestDeviceCommands::variableInformation()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, stored);
    setSimValue(QStringLiteral("reply_data_54"), reply);
    m_device->setParameter(QStringLiteral("dev_variable_code"), 2);
    QVERIFY(m_device->writeDevice(54));
    QCOMPARE(m_device->hasParameter(QStringLiteral("dev_variable_usl")), stored);
    if (stored) {
        QCOMPARE(m_device->parameterInt(QStringLiteral("dev_variable_sensor")), 7);
        QCOMPARE(m_device->parameterFloat(QStringLiteral("dev_variable_usl")), 100.0f);
        QCOMPARE(m_device->parameterFloat(QStringLiteral("dev_variable_span")), 5.0f);
        QCOMPARE(m_device->parameterInt(QStringLiteral("dev_variable_family")), 4);
    }
}

void TestDeviceCommands::identificationWrites()
{
    m_sim->updateDevice(0, [](HartSimDevice &device) {
        device.tag = QStringLiteral("TT101");
        device.values.insert(QStringLiteral("long_tag"), QStringLiteral("Long tag"));
    });
    m_device->setParameter(QStringLiteral("tag"), QStringLiteral("TT101"));
    QVERIFY(m_device->writeDevice(11));
    QCOMPARE(m_sim->requests().last().command, quint8(11));
    QVERIFY(!m_device->hasParameter(QStringLiteral("tag")));

    m_device->setParameter(QStringLiteral("long_tag"), QStringLiteral("Long tag"));
    QVERIFY(m_device->writeDevice(21));
    QCOMPARE(m_sim->requests().last().command, quint8(21));
    QCOMPARE(m_device->parameterString(QStringLiteral("long_tag")), QStringLiteral("Long tag"));
}

void TestDeviceCommands::storeStatusParameters()
{
    m_device->storeStatusParameters(QByteArray::fromHex("050607"));
    QCOMPARE(m_device->parameterInt(QStringLiteral("error_code")), 5);
    QCOMPARE(m_device->parameterInt(QStringLiteral("ADC_flags")), 6);
    QCOMPARE(m_device->parameterInt(QStringLiteral("EEPROM_flags")), 7);
    QCOMPARE(m_device->parameterByteArray(QStringLiteral("device_specific_status")), QByteArray::fromHex("050607000000"));
    QCOMPARE(m_device->parameterInt(QStringLiteral("extended_status")), 0);
    QCOMPARE(m_device->parameterInt(QStringLiteral("standart_status_0")), 0);
    QCOMPARE(m_device->storedStatusBytes(), QByteArray::fromHex("050607"));
}

void TestDeviceCommands::additionalStatusLines_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QStringList>("lines");
    const QByteArray sample = QByteArray::fromHex("000000800000010002");
    QTest::newRow("general device") << QStringLiteral("General") << sample
                                    << QStringList{QStringLiteral("--- Device specific status: 00 00 00 80 00 00"),
                                                   QStringLiteral("--- Device requires maintenance."),
                                                   QStringLiteral("--- Non-Volatile Memory Defect.")};
    QTest::newRow("maker's device shows no specific bytes") << QStringLiteral("Drumel-M") << sample
                                                            << QStringList{QStringLiteral("--- Device requires maintenance."),
                                                                           QStringLiteral("--- Non-Volatile Memory Defect.")};
    QTest::newRow("pH meter error code with its own texts")
        << QStringLiteral("Acivel-M") << QByteArray::fromHex("03")
        << QStringList{QStringLiteral("--- Device ADC error code: 3"),
                       QStringLiteral("--- --- ") + AcivelDevice(nullptr).deviceSpecificStatusText(1).trimmed(),
                       QStringLiteral("--- --- ") + AcivelDevice(nullptr).deviceSpecificStatusText(2).chopped(1)};
    QTest::newRow("ADC flags in hex") << QStringLiteral("Zorvan-M") << QByteArray::fromHex("000a")
                                      << QStringList{QStringLiteral("--- The ADC is overloaded. Flags: 0x0a")};
    QTest::newRow("EEPROM flags in bit order")
        << QStringLiteral("Zorvan-M") << QByteArray::fromHex("0000ff")
        << QStringList{QStringLiteral("--- Error of writing configuration to EEPROM."),
                       QStringLiteral("--- Device configuration is restored (from the secondary page)."),
                       QStringLiteral("--- Error of writing the device HART_UID to the EEPROM"),
                       QStringLiteral("--- Factory device number is restored (from the sub-page).")};
}

void TestDeviceCommands::additionalStatusLines()
{
    QFETCH(QString, templateName);
    QFETCH(QByteArray, status);
    QFETCH(QStringList, lines);
    Device *device = addDevice(templateName);
    device->storeStatusParameters(status);
    QVERIFY(device->statusText(false, false));
    QCOMPARE(device->additionalStatusText(), lines.join(QLatin1Char('\n')));
}

void TestDeviceCommands::additionalStatusFollowUp()
{
    const QByteArray status = QByteArray::fromHex("000000800000010002");
    m_sim->updateDevice(0, [&](HartSimDevice &device) {
        device.deviceStatus = 0x10;
        device.values.insert(QStringLiteral("additional_status"), status);
    });
    QSignalSpy statusSignal(m_device, &Device::deviceStatus);

    QVERIFY(m_device->readDevice(1));
    const QList<HartSimRequest> follow = requestsOf(48);
    QCOMPARE(follow.size(), 2);
    QVERIFY(follow.at(0).data.isEmpty());
    QCOMPARE(follow.at(1).data, status);
    QCOMPARE(m_sim->device(0).deviceStatus & 0x10, 0);
    QVERIFY(m_device->logLines().contains(QStringLiteral("\n--- Additional status info:\n")
                                          + m_device->additionalStatusText()));
    QCOMPARE(m_device->additionalStatusText().count(QLatin1Char('\n')), 2);

    // Without the bit nothing is read; the last report is repeated.
    m_sim->clearRequests();
    QVERIFY(m_device->readDevice(1));
    QCOMPARE(requestsOf(48).size(), 0);
    QVERIFY(m_device->logLines().last().startsWith(QStringLiteral("\n--- Additional status info:")));
}

void TestDeviceCommands::acknowledgementIsBounded()
{
    m_sim->updateDevice(0, [](HartSimDevice &device) {
        device.deviceStatus = 0x10;
        device.values.insert(QStringLiteral("additional_status"), QByteArray::fromHex("010000000000000000"));
        device.values.insert(QStringLiteral("additional_status_changes"), true);
    });
    QVERIFY(m_device->readDevice(2));
    const QList<HartSimRequest> follow = requestsOf(48);
    QCOMPARE(follow.size(), 1 + Device::MaxStatusAcknowledgements);
    QVERIFY(follow.at(0).data.isEmpty());
    QCOMPARE(m_device->logLines().last(),
             QStringLiteral("*** Additional status still changes after %1 acknowledgements; no more are sent.")
                 .arg(Device::MaxStatusAcknowledgements));
}

void TestDeviceCommands::failedStatusReadKeepsText()
{
    m_device->setAdditionalStatusText(QStringLiteral("--- earlier"));
    m_sim->setHandler(48, [](HartSimDevice &, const QByteArray &) {
        HartSimResponse response;
        response.silent = true;
        return response;
    });
    QVERIFY(!m_device->statusText(true, false));
    QCOMPARE(m_device->additionalStatusText(), QStringLiteral("--- earlier"));
    QCOMPARE(m_sim->requestCount(), 1);
}

void TestDeviceCommands::russianTexts_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("a reset keeps its name") << 42 << QStringLiteral("\nсброс устройства (cmd=42)...");
    QTest::newRow("a setting is written") << 17 << QStringLiteral("\nзапись сообщения (cmd=17)...");
}

void TestDeviceCommands::russianTexts()
{
    QFETCH(int, command);
    QFETCH(QString, logLine);
    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    const bool written = m_device->writeDevice(command);
    const QString name38 = m_device->writeCommandName(38);
    QCoreApplication::removeTranslator(&russian);

    QVERIFY(written);
    QCOMPARE(m_device->logLines().first(), logLine);
    QVERIFY(m_device->logLines().at(3).startsWith(QStringLiteral("Успешно (затрачено времени: ")));
    QCOMPARE(name38, QStringLiteral("сброс флага \"конфигурация изменена\""));
}

QTEST_GUILESS_MAIN(TestDeviceCommands)
#include "tst_devicecommands.moc"
