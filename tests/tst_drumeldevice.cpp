#include "devices/drumel/drumeldevice.h"
#include "hartsimdrumelcommands.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/port.h"
#include "model/server.h"

#include <QSignalSpy>
#include <QTest>
#include <QTranslator>

#include <memory>

// The pressure converter's own commands against the simulated converter: replies into the
// parameter map, requests from it, and the replies that must count as failures.
class TestDrumelDevice : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void reads_data();
    void reads();
    void writeRequests_data();
    void writeRequests();
    void failures_data();
    void failures();
    void names();

private:
    void setSimValue(const QString &key, const QVariant &value);
    QByteArray lastRequestData(quint8 command) const;

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Device *m_device = nullptr;
};

void TestDrumelDevice::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimDrumelCommands::install(*m_sim);
    m_sim->addDevice(HartSimDrumelCommands::device(0));
    m_server = std::make_unique<Server>();
    Port *port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(port->setSerialName(m_sim->portName()));
    port->hartPort.setProperty("response_timeout", 100);
    port->hartPort.setProperty("byte_timeout", 20);
    m_device = port->createDevice(QStringLiteral("Drumel-M"));
    QVERIFY(qobject_cast<DrumelDevice *>(m_device));
    port->insertChild(-1, m_device);
}

void TestDrumelDevice::cleanup()
{
    m_server.reset();
    m_sim.reset();
}

void TestDrumelDevice::setSimValue(const QString &key, const QVariant &value)
{
    m_sim->updateDevice(0, [&](HartSimDevice &device) { device.values.insert(key, value); });
}

QByteArray TestDrumelDevice::lastRequestData(quint8 command) const
{
    const QList<HartSimRequest> all = m_sim->requests();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (it->command == command)
            return it->data;
    }
    return QByteArray("none");
}

void TestDrumelDevice::reads_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QVariantMap>("expected");

    QTest::newRow("configuration: bytes as 0..255, floats big-endian")
        << 135 << QByteArray::fromHex("02FF0B3F800000C120000042C8000043480000" "0C05")
        << QVariantMap{{"decimal_point_position", 2}, {"average_count", 255}, {"input_units", 11},
                       {"free_range_min", 1.0f}, {"free_range_max", -10.0f}, {"indicate_range_min", 100.0f},
                       {"indicate_range_max", 200.0f}, {"calibrate_unit_code", 12}, {"line_points_count", 5}};
    QTest::newRow("longer reply keeps to the layout")
        << 132 << QByteArray::fromHex("FF01") << QVariantMap{{"decimal_point_position", 255}};
    QTest::newRow("temperature correction")
        << 139 << QByteArray::fromHex("01C120000041A00000")
        << QVariantMap{{"temper_correction_mode", 1}, {"t1_correcton_value", -10.0f}, {"t2_correcton_value", 20.0f}};
    QTest::newRow("applied pressure") << 149 << QByteArray::fromHex("3F800000")
                                      << QVariantMap{{"line_point_pressure", 1.0f}};
}

void TestDrumelDevice::reads()
{
    QFETCH(int, command);
    QFETCH(QByteArray, reply);
    QFETCH(QVariantMap, expected);
    setSimValue(QStringLiteral("reply_data_%1").arg(command), reply);

    QVERIFY(m_device->readDevice(command));
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const QVariant value = m_device->parameter(it.key());
        QCOMPARE(value.typeId(), it.value().typeId());
        QCOMPARE(value, it.value());
    }
}

void TestDrumelDevice::writeRequests_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QVariantMap>("parameters");
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("counted");
    QTest::addColumn<QVariantMap>("stored");

    QTest::newRow("byte field takes the low 8 bits")
        << 133 << QVariantMap{{"decimal_point_position", 300}} << QByteArray::fromHex("2C") << 1 << QVariantMap();
    QTest::newRow("point number then value")
        << 138 << QVariantMap{{"line_point_number", 2}, {"line_point_value", 1.0f}}
        << QByteArray::fromHex("023F800000") << 1 << QVariantMap();
    QTest::newRow("free range: minimum first")
        << 145 << QVariantMap{{"free_range_min", 1.0f}, {"free_range_max", -10.0f}}
        << QByteArray::fromHex("3F800000C1200000") << 1 << QVariantMap();
    QTest::newRow("sensor: unit, maximum, minimum, minimum range")
        << 147
        << QVariantMap{{"sensor_unit_code", 12}, {"sensor_range_max", 100.0f}, {"sensor_range_min", -10.0f},
                       {"sensor_minimum_range", 1.0f}}
        << QByteArray::fromHex("0C42C80000C12000003F800000") << 1 << QVariantMap();
    QTest::newRow("missing keys send zeros")
        << 141 << QVariantMap{} << QByteArray::fromHex("0000000000") << 1 << QVariantMap();
    QTest::newRow("saving as manufacturer's is not counted")
        << 192 << QVariantMap{{"manufacturer_settings", 1}} << QByteArray::fromHex("01") << 0 << QVariantMap();
    QTest::newRow("257 sends 01 but is counted")
        << 192 << QVariantMap{{"manufacturer_settings", 257}} << QByteArray::fromHex("01") << 1 << QVariantMap();
    QTest::newRow("access code as a float, not counted")
        << 170 << QVariantMap{{"adjust_code", 1234.0f}} << QByteArray::fromHex("449A4000") << 0
        << QVariantMap{{"adjust_code", QByteArray::fromHex("4000")}};
    QTest::newRow("point request, not counted")
        << 148 << QVariantMap{{"line_point_number", 3}, {"line_point_value", 7.0f}} << QByteArray::fromHex("03") << 0
        << QVariantMap{{"line_point_value", 0.0f}};
    QTest::newRow("a bound given as NaN sends nothing") << 146 << QVariantMap{{"indicate_range_min", qQNaN()}} << QByteArray("none")
                                                        << 0 << QVariantMap();
}

void TestDrumelDevice::writeRequests()
{
    QFETCH(int, command);
    QFETCH(QVariantMap, parameters);
    QFETCH(QByteArray, request);
    QFETCH(int, counted);
    QFETCH(QVariantMap, stored);
    for (auto it = parameters.cbegin(); it != parameters.cend(); ++it)
        m_device->setParameter(it.key(), it.value());
    m_device->setParameter(QStringLiteral("modify_count"), 5);

    QCOMPARE(m_device->writeDevice(command), request != "none");
    QCOMPARE(lastRequestData(quint8(command)), request);
    QCOMPARE(m_device->parameterInt(QStringLiteral("modify_count")), 5 + counted);
    for (auto it = stored.cbegin(); it != stored.cend(); ++it)
        QCOMPARE(m_device->parameter(it.key()), it.value());
}

void TestDrumelDevice::failures_data()
{
    QTest::addColumn<bool>("writing");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("hook");
    QTest::addColumn<QVariant>("hookValue");
    QTest::addColumn<QString>("keptKey");
    QTest::addColumn<QString>("errorText");

    const QString echo = QStringLiteral("*** cmdData != response");
    QTest::newRow("echo one byte longer") << true << 133 << "reply_data_133" << QVariant(QByteArray::fromHex("0100"))
                                          << "modify_count" << echo;
    QTest::newRow("echo with a byte changed") << true << 146 << "reply_data_146"
                                              << QVariant(QByteArray::fromHex("3F80000040000001")) << "modify_count" << echo;
    QTest::newRow("point answered for another point")
        << true << 148 << "reply_data_148" << QVariant(QByteArray::fromHex("023F800000")) << "line_point_value"
        << "*** the answer names linearization point 2 instead of 3";
    QTest::newRow("point answer without its whole value")
        << true << 148 << "reply_length_148" << QVariant(4) << "line_point_value"
        << "*** the answer to command 148 is too short: 4 of 5 bytes";
    QTest::newRow("configuration cut at 20 bytes") << false << 135 << "reply_length_135" << QVariant(20)
                                                   << "line_points_count"
                                                   << "*** the answer to command 135 is too short: 20 of 21 bytes";
    QTest::newRow("failed transaction") << false << 139 << "reply_data_139" << QVariant(QByteArray::fromHex("02"))
                                        << "temper_correction_mode" << QString();
}

void TestDrumelDevice::failures()
{
    QFETCH(bool, writing);
    QFETCH(int, command);
    QFETCH(QString, hook);
    QFETCH(QVariant, hookValue);
    QFETCH(QString, keptKey);
    QFETCH(QString, errorText);
    setSimValue(hook, hookValue);
    if (errorText.isEmpty()) {
        HartSimFaults silent;
        silent.silent = true;
        m_sim->setFaults(silent);
    }
    m_device->setParameter(QStringLiteral("line_point_number"), 3);
    m_device->setParameter(keptKey, 5);
    QSignalSpy errors(m_device, &Device::deviceError);

    QVERIFY(!(writing ? m_device->writeDevice(command) : m_device->readDevice(command)));
    QCOMPARE(m_device->parameter(keptKey), QVariant(5));
    if (errorText.isEmpty())
        return;
    QCOMPARE(m_device->lastErrorText(), errorText);
    QCOMPARE(m_device->state(), int(ServerItem::StateFailure));
    QCOMPARE(m_device->errorCounter(), 1);
    QCOMPARE(m_device->logLines().last(), errorText);
    QCOMPARE(errors.last().first().toString(), errorText);
}

void TestDrumelDevice::names()
{
    QCOMPARE(m_device->readCommandName(139), QStringLiteral("temperature correction params"));
    QCOMPARE(m_device->readCommandName(133), QString());
    QCOMPARE(m_device->readCommandName(14), m_device->Device::readCommandName(14));
    QCOMPARE(m_device->writeCommandName(147), QString());
    QCOMPARE(m_device->writeCommandName(200), QString());

    QTranslator russian;
    QVERIFY(russian.load(QStringLiteral(":/lang/ru_ru.qm")));
    QCoreApplication::installTranslator(&russian);
    const QString read = m_device->readCommandName(149);
    const QString written = m_device->writeCommandName(145);
    QCoreApplication::removeTranslator(&russian);
    QCOMPARE(read, QStringLiteral("давление для точки"));
    QCOMPARE(written, QStringLiteral("свободного диапазона"));
}

QTEST_GUILESS_MAIN(TestDrumelDevice)
#include "tst_drumeldevice.moc"
