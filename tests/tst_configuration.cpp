#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "tempworkdir.h"
#include "core/utils.h"

#include <QDate>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

QVariantMap portMap(const QString &name, const QVariantMap &extra = {})
{
    QVariantMap map = extra;
    map.insert(QStringLiteral("name"), name);
    return map;
}

QVariantMap serverMap(const QVariantList &ports)
{
    return {{QStringLiteral("ports"), ports}};
}

template <typename Item>
QStringList names(const QList<Item *> &items)
{
    QStringList result;
    for (const Item *item : items)
        result.append(item->name());
    return result;
}

void fillDevice(Device *device, int address, const QString &tag)
{
    device->setAddress(address);
    device->setPollingPeriod(500 + address);
    device->setComment(QStringLiteral("comment of ") + tag);
    device->setVariant(address % 2 ? QStringLiteral("variant B") : QString());
    device->setMeasureInfo({{QStringLiteral("columns"), QVariantList{"PV", "SV"}}, {QStringLiteral("period"), 2}});
    device->setEnabled(true);
    device->setParameter(QStringLiteral("tag"), tag);
    device->setParameter(QStringLiteral("address"), QByteArray::fromHex("26e0123456"));
    device->setParameter(QStringLiteral("deviceID"), QByteArray::fromHex("123456"));
    device->setParameter(QStringLiteral("PV"), 74.3f);
    device->setParameter(QStringLiteral("PV_upper_range"), 100.0f);
    device->setParameter(QStringLiteral("SV"), std::numeric_limits<float>::quiet_NaN());
    device->setParameter(QStringLiteral("TV"), -std::numeric_limits<float>::infinity());
    device->setParameter(QStringLiteral("ratio"), 2.0);
    device->setParameter(QStringLiteral("PV_unit_code"), 32);
    device->setParameter(QStringLiteral("final_assembly_number"), uint(16777215));
    device->setParameter(QStringLiteral("date"), QDate(2024, 2, 29));
    device->setParameter(QStringLiteral("device_specific_status"), QByteArray::fromHex("00ff20"));
    device->setParameter(QStringLiteral("message"), QStringLiteral("0X26H LOOKS LIKE BYTES"));
    device->setParameter(QStringLiteral("write_protect"), true);
    device->setParameter(QStringLiteral("modify_count"), 7);
}

} // namespace

class TestConfiguration : public QObject
{
    Q_OBJECT

private slots:
    void fullConfigurationSurvivesFile();
    void identityBytesSavedAsMarkedHex();
    void deviceMapKeys();
    void storedParameterTypes_data();
    void storedParameterTypes();
    void rejectedConfigurations_data();
    void rejectedConfigurations();
    void portsLoadInOrder();
    void portElementWithoutName();
    void duplicatePortNamesLoadIntoOnePort();
    void serialNameAlreadyInUse();
    void addPortNames();
    void deviceCount();
    void savedDeviceNamesComeBack_data();
    void savedDeviceNamesComeBack();
};

void TestConfiguration::fullConfigurationSurvivesFile()
{
    TempWorkDir workDir;
    Server original;
    Port *com1 = original.addPort(QStringLiteral("COM1"));
    Port *com2 = original.addPort(QStringLiteral("COM2"));
    com2->setEnabled(true);
    com2->setProperty("close_port_after_transaction", true);
    com2->hartPort.initialPreamblesCount = 3;
    for (Port *port : {com1, com2}) {
        port->hartPort.setProperty("request_timeout", 210);
        port->hartPort.setProperty("response_timeout", 380);
        port->hartPort.setProperty("byte_timeout", 60);
    }
    const QStringList templates{"Zorvan-M", "Belkor-M", "Drumel-M", "Acivel-M", "General", "Custom"};
    int address = 0;
    for (Port *port : {com1, com2}) {
        for (const QString &templateName : templates) {
            Device *device = port->addDevice(QStringLiteral("dev"), templateName);
            fillDevice(device, address, QStringLiteral("TT%1").arg(address));
            device->displayName();
            ++address;
        }
    }
    com1->devices().first()->setProducer(QStringLiteral("maker"));

    const QVariantMap saved = original.save();
    const QString file = workDir.filePath(QStringLiteral("tenvara.cfg"));
    QVERIFY(Utils::writeAppSetting({{QStringLiteral("srv"), saved}}, file));

    Server restored;
    QSignalSpy loaded(&restored, &Server::loaded);
    QVERIFY(restored.load(Utils::readAppSetting(file).value(QStringLiteral("srv")).toMap()));
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(restored.save(), saved);

    const QList<Port *> before = original.ports();
    const QList<Port *> after = restored.ports();
    QCOMPARE(names(after), names(before));
    QCOMPARE(after.at(1)->property("parity").toChar(), QLatin1Char('O'));
    QCOMPARE(after.at(1)->property("baudrate").toInt(), 1200);
    QCOMPARE(after.at(1)->hartPort.property("byte_timeout").toInt(), 60);
    QCOMPARE(after.at(1)->hartPort.initialPreamblesCount, 3);
    for (int p = 0; p < before.size(); ++p) {
        const QList<Device *> oldDevices = before.at(p)->devices();
        const QList<Device *> newDevices = after.at(p)->devices();
        QCOMPARE(newDevices.size(), oldDevices.size());
        for (int d = 0; d < oldDevices.size(); ++d) {
            const Device *was = oldDevices.at(d);
            const Device *is = newDevices.at(d);
            QCOMPARE(is->name(), was->name());
            QCOMPARE(is->metaObject()->className(), was->metaObject()->className());
            QCOMPARE(is->templateName(), was->templateName());
            QCOMPARE(is->measureInfo(), was->measureInfo());
            const QVariantMap oldParameters = was->parameters();
            const QVariantMap newParameters = is->parameters();
            QCOMPARE(newParameters.keys(), oldParameters.keys());
            for (auto it = oldParameters.cbegin(); it != oldParameters.cend(); ++it) {
                const QVariant value = newParameters.value(it.key());
                QVERIFY2(value.typeId() == it.value().typeId(), qPrintable(it.key()));
                if (it.key() == QLatin1String("SV"))
                    QVERIFY(std::isnan(value.toFloat()));
                else
                    QVERIFY2(value == it.value(), qPrintable(it.key()));
            }
        }
    }
}

void TestConfiguration::identityBytesSavedAsMarkedHex()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    Device *device = port->addDevice(QStringLiteral("dev"), QStringLiteral("General"));
    device->setParameter(QStringLiteral("address"), QByteArray::fromHex("26e0123456"));
    const QVariantMap parameters = device->save().value(QStringLiteral("parameters")).toMap();
    QCOMPARE(parameters.value(QStringLiteral("address")).toString(), QStringLiteral("0x26h 0xE0h 0x12h 0x34h 0x56h"));
    QCOMPARE(parameters.value(QStringLiteral("deviceID")).toString(), QString());
    // The device's own map is not touched by saving.
    QCOMPARE(device->parameter(QStringLiteral("address")).typeId(), int(QMetaType::QByteArray));
}

void TestConfiguration::deviceMapKeys()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    Device *device = port->addDevice(QStringLiteral("dev"), QStringLiteral("General"));
    const QVariantMap plain = device->save();
    QVERIFY(!plain.contains(QStringLiteral("variant")));
    QVERIFY(!plain.contains(QStringLiteral("measure_info")));
    QVERIFY(!plain.contains(QStringLiteral("producer")));

    // A map without "parameters" leaves only the empty identity entries.
    device->setVariant(QStringLiteral("kept"));
    device->load({{QStringLiteral("name"), "x"}, {QStringLiteral("template"), "General"},
                  {QStringLiteral("producer"), "maker"}});
    QCOMPARE(device->parameters().keys(), (QStringList{"address", "deviceID"}));
    QCOMPARE(device->variant(), QStringLiteral("kept"));
    QCOMPARE(device->producer(), QStringLiteral("maker"));
    QCOMPARE(device->name(), QStringLiteral("General_{0}"));
    QVERIFY(!device->save().contains(QStringLiteral("producer")));
}

void TestConfiguration::storedParameterTypes_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("typeName");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("whole number back as float") << QVariant(qlonglong(100)) << "float" << QVariant(100.0f);
    QTest::newRow("infinity back as double")
        << QVariant(QStringLiteral("-inf")) << "double" << QVariant(-std::numeric_limits<double>::infinity());
    QTest::newRow("marked hex back as bytes")
        << QVariant(QStringLiteral("0x01h 0xFFh")) << "QByteArray" << QVariant(QByteArray::fromHex("01ff"));
    QTest::newRow("ISO text back as date") << QVariant(QStringLiteral("2024-02-29")) << "QDate" << QVariant(QDate(2024, 2, 29));
    QTest::newRow("unknown type kept as stored") << QVariant(QStringLiteral("x")) << "NoSuchType" << QVariant(QStringLiteral("x"));
    QTest::newRow("no type: as JSON gives it") << QVariant(qlonglong(5)) << "" << QVariant(qlonglong(5));
    QTest::newRow("JSON null reads as no value") << QVariant::fromValue(nullptr) << "" << QVariant();
}

void TestConfiguration::storedParameterTypes()
{
    QFETCH(QVariant, stored);
    QFETCH(QString, typeName);
    QFETCH(QVariant, expected);
    Server server;
    Device *device = server.addPort(QStringLiteral("COM1"))->addDevice(QStringLiteral("d"), QStringLiteral("General"));
    QVariantMap map{{QStringLiteral("parameters"), QVariantMap{{QStringLiteral("p"), stored}}}};
    if (!typeName.isEmpty())
        map.insert(QStringLiteral("parameter_types"), QVariantMap{{QStringLiteral("p"), typeName}});
    device->load(map);
    const QVariant value = device->parameter(QStringLiteral("p"));
    QCOMPARE(value.typeId(), expected.typeId());
    QCOMPARE(value, expected);
}

void TestConfiguration::rejectedConfigurations_data()
{
    QTest::addColumn<QVariantMap>("configuration");
    QTest::newRow("no ports key") << QVariantMap{{QStringLiteral("devices"), QVariantList{portMap("COM5")}}};
    QTest::newRow("empty port list") << serverMap({});
    QTest::newRow("ports as text") << QVariantMap{{QStringLiteral("ports"), QStringLiteral("COM5")}};
    QTest::newRow("saved empty server") << Server().save();
}

void TestConfiguration::rejectedConfigurations()
{
    QFETCH(QVariantMap, configuration);
    Server server;
    server.addPort(QStringLiteral("COM1"));
    QSignalSpy loaded(&server, &Server::loaded);
    QVERIFY(!server.load(configuration));
    QCOMPARE(names(server.ports()), QStringList{"COM1"});
    QCOMPARE(loaded.count(), 0);
}

void TestConfiguration::portsLoadInOrder()
{
    Server server;
    server.addPort(QStringLiteral("OLD"));
    QSignalSpy loaded(&server, &Server::loaded);
    QVERIFY(server.load(serverMap({portMap("COM2"), portMap("COM1")})));
    QCOMPARE(names(server.ports()), (QStringList{"COM2", "COM1"}));
    QCOMPARE(loaded.count(), 1);
}

void TestConfiguration::portElementWithoutName()
{
    Server server;
    QSignalSpy loaded(&server, &Server::loaded);
    const QVariantMap nameless{{QStringLiteral("serial_name"), "ttyS0"},
                               {QStringLiteral("devices"), QVariantList{QVariantMap{{"name", "d"}}}}};
    QVERIFY(server.load(serverMap({nameless, portMap("COM2")})));
    QCOMPARE(names(server.ports()), QStringList{"COM2"});
    QCOMPARE(server.deviceCount(), 0);
    QCOMPARE(loaded.count(), 1);
}

void TestConfiguration::duplicatePortNamesLoadIntoOnePort()
{
    Server server;
    const QVariantList devices{QVariantMap{{"name", "a"}, {"template", "General"}, {"polling_address", 1}}};
    QVERIFY(server.load(serverMap({portMap("COM1", {{"request_timeout", 300}, {"devices", devices}}),
                                   portMap("COM1", {{"request_timeout", 400}, {"devices", devices}})})));
    QCOMPARE(server.portCount(), 1);
    Port *port = server.portByName(QStringLiteral("COM1"));
    QCOMPARE(port->hartPort.property("request_timeout").toInt(), 400);
    QCOMPARE(port->devices().size(), 2);
}

void TestConfiguration::serialNameAlreadyInUse()
{
    Server server;
    QVERIFY(server.load(serverMap({portMap("COM1", {{"serial_name", "/dev/ttyS0"}}),
                                   portMap("COM2", {{"serial_name", "/dev/ttyS0"}})})));
    const QList<Port *> ports = server.ports();
    QCOMPARE(ports.at(0)->property("serial_name").toString(), QStringLiteral("/dev/ttyS0"));
    // The second keeps the serial name it was constructed with.
    QVERIFY(ports.at(1)->property("serial_name").toString().startsWith(QLatin1String("Port_")));
}

void TestConfiguration::addPortNames()
{
    Server server;
    Port *com3 = server.addPort(QStringLiteral("COM 3"));
    QCOMPARE(com3->name(), QStringLiteral("COM_3"));
    // The existing-port test compares the requested name, not its sanitised form.
    Port *again = server.addPort(QStringLiteral("COM 3"));
    QCOMPARE(again->name(), QStringLiteral("COM_3_1"));
    QCOMPARE(server.addPort(QStringLiteral("COM_3")), com3);
    QVERIFY(!server.portByName(QStringLiteral("COM 3")));
    QVERIFY(!server.addPort(QString()));
    QCOMPARE(server.portCount(), 2);
}

void TestConfiguration::deviceCount()
{
    Server server;
    Port *a = server.addPort(QStringLiteral("A"));
    Port *b = server.addPort(QStringLiteral("B"));
    for (int i = 0; i < 2; ++i)
        a->addDevice(QStringLiteral("d"), QStringLiteral("General"));
    for (int i = 0; i < 3; ++i)
        b->addDevice(QStringLiteral("d"), QStringLiteral("Drumel-M"));
    QCOMPARE(server.deviceCount(), 5);
}

void TestConfiguration::savedDeviceNamesComeBack_data()
{
    QTest::addColumn<QStringList>("tags");
    QTest::newRow("three devices at address 0 without a tag") << QStringList{"", "", ""};
    QTest::newRow("two devices with one tag and one without") << QStringList{"TT1", "TT1", ""};
}

void TestConfiguration::savedDeviceNamesComeBack()
{
    QFETCH(QStringList, tags);
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    for (const QString &tag : tags) {
        Device *device = port->addDevice(QStringLiteral("d"), QStringLiteral("General"));
        if (!tag.isEmpty())
            device->setParameter(QStringLiteral("tag"), tag);
        device->displayName();
    }
    QVariantMap saved = server.save();
    // Twice: each reload starts from the names the previous one gave.
    for (int load = 0; load < 2; ++load) {
        Server reloaded;
        QVERIFY(reloaded.load(saved));
        QCOMPARE(names(reloaded.ports().first()->devices()), names(port->devices()));
        saved = reloaded.save();
    }
}

QTEST_GUILESS_MAIN(TestConfiguration)
#include "tst_configuration.moc"
