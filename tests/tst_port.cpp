#include "devices/acivel/aciveldevice.h"
#include "model/defaultdevice.h"
#include "devices/drumel/drumeldevice.h"
#include "model/port.h"
#include "model/server.h"
#include "devices/zorvan/zorvandevice.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

class TestPort : public QObject
{
    Q_OBJECT

private slots:
    void bufferFromInt_data();
    void bufferFromInt();
    void intFromBuffer_data();
    void intFromBuffer();
    void floatConversions_data();
    void floatConversions();
    void freshPortDefaults();
    void lineSettingIndexes();
    void deviceFactory_data();
    void deviceFactory();
    void addDeviceNaming();
    void serialNameMustBeUnique();
    void loadTimeoutsFallBack_data();
    void loadTimeoutsFallBack();
    void loadSkipsDeviceWithoutName();
};

void TestPort::bufferFromInt_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("size");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("4 bytes") << 258 << 4 << QByteArray::fromHex("00000102");
    QTest::newRow("3 bytes") << 258 << 3 << QByteArray::fromHex("000102");
    QTest::newRow("2 bytes") << 258 << 2 << QByteArray::fromHex("0102");
    QTest::newRow("width 1 gives 2 bytes") << 258 << 1 << QByteArray::fromHex("0102");
    QTest::newRow("width 5 gives 2 bytes") << 258 << 5 << QByteArray::fromHex("0102");
    QTest::newRow("upper byte dropped") << 70000 << 2 << QByteArray::fromHex("1170");
    QTest::newRow("negative in 3 bytes") << -1 << 3 << QByteArray::fromHex("ffffff");
    QTest::newRow("negative in 4 bytes") << -2 << 4 << QByteArray::fromHex("fffffffe");
}

void TestPort::bufferFromInt()
{
    QFETCH(int, value);
    QFETCH(int, size);
    QFETCH(QByteArray, expected);
    QCOMPARE(Port::getBufferFromInt(value, size), expected);
}

void TestPort::intFromBuffer_data()
{
    QTest::addColumn<QByteArray>("buffer");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");
    const QByteArray ones = QByteArray::fromHex("ffffffff");
    QTest::newRow("4 bytes signed") << ones << 0 << 4 << -1;
    QTest::newRow("3 bytes unsigned") << ones << 0 << 3 << 16777215;
    QTest::newRow("2 bytes unsigned") << ones << 0 << 2 << 65535;
    QTest::newRow("1 byte is its byte") << QByteArray::fromHex("ab") << 0 << 1 << 0xAB;
    QTest::newRow("wider than 4 reads 3") << QByteArray::fromHex("0102030405") << 0 << 5 << 0x010203;
    QTest::newRow("missing bytes read 0") << QByteArray::fromHex("0102") << 1 << 3 << 131072;
    QTest::newRow("offset past the end") << QByteArray::fromHex("0102") << 2 << 2 << 0;
    QTest::newRow("negative offset") << QByteArray::fromHex("0102") << -1 << 2 << 0x0001;
    QTest::newRow("empty buffer") << QByteArray() << 0 << 4 << 0;
    QTest::newRow("width 0") << ones << 0 << 0 << 0;
    QTest::newRow("negative width") << ones << 0 << -3 << 0;
    QTest::newRow("at an offset") << QByteArray::fromHex("00123456") << 1 << 3 << 0x123456;
}

void TestPort::intFromBuffer()
{
    QFETCH(QByteArray, buffer);
    QFETCH(int, offset);
    QFETCH(int, size);
    QFETCH(int, expected);
    QCOMPARE(Port::getIntFromBufferByOffset(buffer, offset, size), expected);
}

void TestPort::floatConversions_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("one") << 1.0f << QByteArray::fromHex("3f800000");
    QTest::newRow("negative") << -2.5f << QByteArray::fromHex("c0200000");
    QTest::newRow("infinity") << std::numeric_limits<float>::infinity() << QByteArray::fromHex("7f800000");
    QTest::newRow("NaN") << std::numeric_limits<float>::quiet_NaN() << QByteArray::fromHex("7fc00000");
}

void TestPort::floatConversions()
{
    QFETCH(float, value);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Port::getBufferFromFloat(value), bytes);

    const float back = Port::getFloatFromBufferByOffset(QByteArray(1, '\0') + bytes, 1);
    if (std::isnan(value))
        QVERIFY(std::isnan(back));
    else
        QCOMPARE(back, value);
    // A buffer too short for four bytes reads the missing ones as 0.
    QCOMPARE(Port::getFloatFromBufferByOffset(bytes.left(2), 0),
             Port::getFloatFromBufferByOffset(bytes.left(2) + QByteArray(2, '\0'), 0));
}

void TestPort::freshPortDefaults()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("Port_1"));
    QCOMPARE(port->name(), QStringLiteral("Port_1"));
    QCOMPARE(port->property("serial_name").toString(), QStringLiteral("Port_1"));
    QCOMPARE(port->property("priority").toInt(), 10);
    QCOMPARE(port->settingsText(), QStringLiteral("Port_1 ; 1200 ; 8O1"));
    QCOMPARE(port->transactionSemaphore.available(), 1);
    QCOMPARE(port->hartPort.property("response_timeout").toInt(), 370);
    QVERIFY(!port->isOpened());
    QCOMPARE(port->type(), int(ServerItem::PortKind));
}

void TestPort::lineSettingIndexes()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    QCOMPARE(port->baudrateIndex(9600), 3);
    QCOMPARE(port->baudrateIndex(300), -1);
    QCOMPARE(port->baudrateIndex(), 0);
    port->setBaudrateIndex(8);
    QCOMPARE(port->property("baudrate").toInt(), 1200);
    port->setBaudrateIndex(7);
    QCOMPARE(port->property("baudrate").toInt(), 115200);
    QCOMPARE(port->parityIndex(QLatin1Char('X')), 0);
    QCOMPARE(port->parityIndex(), 3);
    port->setParityIndex(1);
    QCOMPARE(port->property("parity").toChar(), QLatin1Char('N'));
    port->setParityIndex(2);
    QCOMPARE(port->parityIndex(), 2);
}

void TestPort::deviceFactory_data()
{
    QTest::addColumn<QString>("templateName");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("constructorName");
    QTest::newRow("Zorvan-M") << "Zorvan-M" << "ZorvanDevice" << "Zorvan-M_(1)";
    QTest::newRow("Belkor-M shares the class") << "Belkor-M" << "ZorvanDevice" << "Zorvan-M_(1)";
    QTest::newRow("Drumel-M") << "Drumel-M" << "DrumelDevice" << "Drumel-M_(1)";
    QTest::newRow("Acivel-M") << "Acivel-M" << "AcivelDevice" << "Acivel-M_(1)";
    QTest::newRow("General") << "General" << "DefaultDevice" << "Default_(1)";
    QTest::newRow("lower-case general") << "general" << "Device" << "Device1";
    QTest::newRow("empty template") << "" << "Device" << "Device1";
}

void TestPort::deviceFactory()
{
    QFETCH(QString, templateName);
    QFETCH(QString, className);
    QFETCH(QString, constructorName);
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    port->setProperty("priority", 7);
    std::unique_ptr<Device> device(port->createDevice(templateName));
    QCOMPARE(QString::fromLatin1(device->metaObject()->className()), className);
    QCOMPARE(device->name(), constructorName);
    QCOMPARE(device->templateName(), templateName);
    QCOMPARE(device->pollingPeriod(), 1000);
    QCOMPARE(device->property("priority").toInt(), 7);
    QCOMPARE(port->devices().size(), 0); // created, not inserted

    // Every device class draws from the plain device counter first.
    std::unique_ptr<Device> plain(port->createDevice(QStringLiteral("other")));
    QCOMPARE(plain->name(), QStringLiteral("Device2"));
}

void TestPort::addDeviceNaming()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    QVERIFY(!port->addDevice(QString(), QStringLiteral("General")));
    QCOMPARE(port->childCount(), 0);

    Device *first = port->addDevice(QStringLiteral("a"), QStringLiteral("General"));
    Device *second = port->addDevice(QStringLiteral("b"), QStringLiteral("General"));
    QCOMPARE(first->name(), QStringLiteral("General_{0}"));
    QCOMPARE(second->name(), QStringLiteral("General_{0}_1"));
    QCOMPARE(port->deviceByKey(QStringLiteral("General_{0}_1")), second);
    QCOMPARE(port->deviceByAddress(0), first);

    Device *front = port->addDevice(QStringLiteral("c"), QStringLiteral("Zorvan-M"), 0);
    QCOMPARE(port->devices().first(), front);
    QCOMPARE(server.deviceCount(), 3);

    port->removeDevice(second->name());
    QCOMPARE(port->devices().size(), 2);
    QVERIFY(!port->deviceByKey(QStringLiteral("General_{0}_1")));
}

void TestPort::serialNameMustBeUnique()
{
    Server server;
    Port *com1 = server.addPort(QStringLiteral("COM1"));
    Port *com2 = server.addPort(QStringLiteral("COM2"));
    QSignalSpy changed(com2, &Port::serialNameChanged);
    QVERIFY(!com2->setSerialName(com1->property("serial_name").toString()));
    QVERIFY(!com2->setSerialName(com2->property("serial_name").toString()));
    QCOMPARE(changed.count(), 0);
    QVERIFY(com2->setSerialName(QStringLiteral("/dev/ttyUSB0")));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(com2->property("serial_name").toString(), QStringLiteral("/dev/ttyUSB0"));
}

void TestPort::loadTimeoutsFallBack_data()
{
    QTest::addColumn<QVariantMap>("stored");
    QTest::addColumn<QList<int>>("expected");
    QTest::newRow("zero, negative and missing give defaults")
        << QVariantMap{{"request_timeout", 0}, {"response_timeout", -5}, {"initial_number_of_preambles", 0}}
        << QList<int>{200, 370, 50, 10};
    QTest::newRow("positive values kept")
        << QVariantMap{{"request_timeout", 300}, {"response_timeout", 500}, {"byte_timeout", 20},
                       {"initial_number_of_preambles", 3}}
        << QList<int>{300, 500, 20, 3};
    QTest::newRow("numbers as JSON gives them back")
        << QVariantMap{{"request_timeout", qlonglong(250)}, {"response_timeout", 400.0}, {"byte_timeout", "x"}}
        << QList<int>{250, 400, 50, 10};
    QTest::newRow("values beyond the port editor's maxima are cut to them")
        << QVariantMap{{"request_timeout", 60000}, {"response_timeout", 3600000}, {"byte_timeout", 9999}}
        << QList<int>{5000, 9000, 1000, 10};
    QTest::newRow("preambles beyond the port editor's maximum are cut to it")
        << QVariantMap{{"initial_number_of_preambles", 2147483647}} << QList<int>{200, 370, 50, 99};
    QTest::newRow("a hundred thousand preambles are cut as well")
        << QVariantMap{{"initial_number_of_preambles", 100000}} << QList<int>{200, 370, 50, 99};
}

void TestPort::loadTimeoutsFallBack()
{
    QFETCH(QVariantMap, stored);
    QFETCH(QList<int>, expected);
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    stored.insert(QStringLiteral("name"), QStringLiteral("COM1"));
    QVERIFY(port->load(stored));
    QCOMPARE(port->hartPort.property("request_timeout").toInt(), expected.at(0));
    QCOMPARE(port->hartPort.property("response_timeout").toInt(), expected.at(1));
    QCOMPARE(port->hartPort.property("byte_timeout").toInt(), expected.at(2));
    QCOMPARE(port->hartPort.initialPreamblesCount, expected.at(3));
}

void TestPort::loadSkipsDeviceWithoutName()
{
    Server server;
    Port *port = server.addPort(QStringLiteral("COM1"));
    const QVariantList devices{
        QVariantMap{{"template", "General"}, {"polling_address", 1}},
        QVariantMap{{"name", ""}, {"template", "General"}},
        QVariantMap{{"name", "kept"}, {"template", "General"}, {"polling_address", 2}},
        QStringLiteral("not a map"),
    };
    QVERIFY(port->load({{"name", "COM1"}, {"devices", devices}}));
    QCOMPARE(port->devices().size(), 1);
    QCOMPARE(port->devices().first()->address(), 2);
}

QTEST_GUILESS_MAIN(TestPort)
#include "tst_port.moc"
