#include "model/device.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/port.h"
#include "model/server.h"

#include <QSignalSpy>
#include <QTest>

// The port's serial line and transactions, against the simulated HART slave.
class TestPortLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void failedOpenKeepsLinkError();
    void transactionOutcome_data();
    void transactionOutcome();
    void newSerialNameReopensLine();
    void closeKeepsLineOfPolledDevice();
    void checkOnClosedLineSendsNothing();
    void checkAtPollingAddress_data();
    void checkAtPollingAddress();
    void tagSearchRequest_data();
    void tagSearchRequest();
    void longTagSearchRequest_data();
    void longTagSearchRequest();
    void findDeviceBroadcasts();

private:
    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Port *m_port = nullptr;
    HartSimDevice m_device{0};
};

void TestPortLine::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    m_sim->addDevice(m_device);
    m_sim->setHandler(1, [](HartSimDevice &, const QByteArray &) {
        HartSimResponse response;
        response.data = QByteArray::fromHex("abcd");
        return response;
    });
    m_server = std::make_unique<Server>();
    m_port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(m_port->setSerialName(m_sim->portName()));
}

void TestPortLine::cleanup()
{
    m_server.reset();
    m_sim.reset();
}

void TestPortLine::failedOpenKeepsLinkError()
{
    const QString missing = QStringLiteral("/dev/tenvara-no-such-port");
    QVERIFY(m_port->setSerialName(missing));
    QSignalSpy changed(m_port, &ServerItem::stateChanged);
    QVERIFY(!m_port->openHart());
    QVERIFY(!m_port->isOpened());
    QCOMPARE(m_port->result(), 4);
    QCOMPARE(m_port->lastErrorText(), QStringLiteral("Can't open %1!\n error code: %2 - %3")
                                          .arg(missing)
                                          .arg(m_port->hartPort.errorCode)
                                          .arg(m_port->hartPort.errorText));
    // Written directly: no outcome recorded, no signal.
    QCOMPARE(m_port->errorCounter(), 0);
    QCOMPARE(changed.count(), 0);
}

void TestPortLine::transactionOutcome_data()
{
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("responseCode");
    QTest::addColumn<bool>("success");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("firstStatusByte");
    QTest::newRow("answered") << false << -1 << true << 1 << 0;
    QTest::newRow("timeout is a link error") << true << -1 << false << 4 << 0;
    QTest::newRow("failing status keeps the link's code") << false << 7 << false << -3 << 7;
    QTest::newRow("status byte above 127 reads negative") << false << 0x90 << false << -3 << int(qint8(0x90));
}

void TestPortLine::transactionOutcome()
{
    QFETCH(bool, silent);
    QFETCH(int, responseCode);
    QFETCH(bool, success);
    QFETCH(int, result);
    QFETCH(int, firstStatusByte);
    HartSimFaults faults;
    faults.silent = silent;
    faults.responseCode = responseCode;
    m_sim->setFaults(faults);

    QVERIFY(m_port->openHart());
    QByteArray response;
    QCOMPARE(m_port->sendCommand(m_device.uniqueAddress(), 1, QByteArray(), &response), success);
    QCOMPARE(m_port->result(), result);
    QCOMPARE(m_port->lastErrorText(), success ? QString() : m_port->hartPort.errorText);
    QCOMPARE(m_port->statusByte(0), firstStatusByte);
    QCOMPARE(m_port->statusByte(2), 0);
    QCOMPARE(m_port->statusByte(-1), 0);
    if (success)
        QCOMPARE(response, QByteArray::fromHex("abcd"));
}

void TestPortLine::newSerialNameReopensLine()
{
    HartSimulator other;
    QVERIFY(other.isValid());
    other.addDevice(m_device);
    QVERIFY(m_port->openHart());
    QSignalSpy changed(m_port, &Port::serialNameChanged);
    QVERIFY(m_port->setSerialName(other.portName()));
    QCOMPARE(changed.count(), 1);
    QVERIFY(m_port->isOpened());

    QByteArray response;
    QVERIFY(m_port->sendCommand(m_device.uniqueAddress(), 0, QByteArray(), &response));
    QCOMPARE(other.requestCount(), 1);
    QCOMPARE(m_sim->requestCount(), 0);
}

void TestPortLine::closeKeepsLineOfPolledDevice()
{
    Device *device = m_port->addDevice(QStringLiteral("d"), QStringLiteral("General"));
    QVERIFY(m_port->openHart());
    device->addStateFlags(Device::StatePeriodicallyRequested);
    m_port->closeHart();
    QVERIFY(m_port->isOpened());
    device->clearStateFlags(Device::StatePeriodicallyRequested);
    m_port->closeHart();
    QVERIFY(!m_port->isOpened());
}

void TestPortLine::checkOnClosedLineSendsNothing()
{
    QVariantMap identity;
    QVERIFY(!m_port->checkHartDevice(0, &identity));
    QCOMPARE(m_sim->requestCount(), 0);
    QCOMPARE(m_port->state(), int(ServerItem::StateFailure));
    QCOMPARE(m_port->result(), 4);
    QCOMPARE(m_port->lastErrorText(), QStringLiteral("port 'COM1' is not opened"));
    QVERIFY(identity.isEmpty());
}

void TestPortLine::checkAtPollingAddress_data()
{
    QTest::addColumn<int>("identityLength");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("state");
    QTest::newRow("full identity") << 22 << false << true << int(ServerItem::StateSuccess);
    QTest::newRow("identity too short is answered but not found") << 11 << false << false
                                                                  << int(ServerItem::StateSuccess);
    QTest::newRow("no answer") << 22 << true << false << int(ServerItem::StateFailure);
}

void TestPortLine::checkAtPollingAddress()
{
    QFETCH(int, identityLength);
    QFETCH(bool, silent);
    QFETCH(bool, found);
    QFETCH(int, state);
    m_sim->updateDevice(0, [&](HartSimDevice &device) { device.identityLength = identityLength; });
    HartSimFaults faults;
    faults.silent = silent;
    m_sim->setFaults(faults);
    m_port->hartPort.setProperty("response_timeout", 100);
    QVERIFY(m_port->openHart());

    QVariantMap identity{{QStringLiteral("kept"), 1}};
    QCOMPARE(m_port->checkHartDevice(0, &identity), found);
    QCOMPARE(m_port->state(), state);
    QVERIFY(identity.contains(QStringLiteral("kept")));
    if (found) {
        QCOMPARE(identity.value(QStringLiteral("address")).toByteArray(), m_device.uniqueAddress());
        QCOMPARE(identity.value(QStringLiteral("manufacturer_code")).toInt(), int(m_device.manufacturerCode));
    } else {
        QCOMPARE(identity.size(), 1);
    }
    if (silent)
        QCOMPARE(m_port->lastErrorText(), m_port->hartPort.errorText);
}

void TestPortLine::tagSearchRequest_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("sent");
    QTest::addColumn<QString>("errorText");
    QTest::newRow("upper-case tag padded to 8") << QStringLiteral("PT-100") << true << QString();
    QTest::newRow("empty tag is eight blanks") << QString() << true << QString();
    QTest::newRow("lower case refused") << QStringLiteral("pt-100") << false << QStringLiteral("Invalid chars in device tag!");
    QTest::newRow("double quote refused") << QStringLiteral("A\"B") << false << QStringLiteral("Invalid chars in device tag!");
    QTest::newRow("brace does not survive packing") << QStringLiteral("A{B") << false
                                                    << QStringLiteral("*** pack/unpack error!");
    QTest::newRow("final newline refused") << QStringLiteral("AB\n") << false << QStringLiteral("Invalid chars in device tag!");
}

void TestPortLine::tagSearchRequest()
{
    QFETCH(QString, tag);
    QFETCH(bool, sent);
    QFETCH(QString, errorText);
    HartSimulator::Handler identity = [](HartSimDevice &device, const QByteArray &) {
        HartSimResponse response;
        response.data = device.identityData();
        return response;
    };
    m_sim->setHandler(11, identity);
    QVERIFY(m_port->openHart());

    QVariantMap found;
    QCOMPARE(m_port->checkHartDeviceByTag(tag, &found), sent);
    QCOMPARE(m_sim->requestCount(), sent ? 1 : 0);
    if (sent) {
        const HartSimRequest request = m_sim->requests().first();
        QCOMPARE(request.command, quint8(11));
        QCOMPARE(request.address, QByteArray::fromHex("8000000000"));
        QCOMPARE(request.data, HartSimUniversalCommands::pack(tag, 8));
        QCOMPARE(found.value(QStringLiteral("deviceID")).toByteArray(), m_device.deviceId);
    } else {
        QCOMPARE(m_port->lastErrorText(), errorText);
        QVERIFY(found.isEmpty());
    }
}

void TestPortLine::longTagSearchRequest_data()
{
    QTest::addColumn<QString>("longTag");
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("short tag padded with zeros") << QStringLiteral("FT-20") << QByteArray("FT-20").leftJustified(32, '\0');
    QTest::newRow("long tag cut to 32") << QString(40, QLatin1Char('L')) << QByteArray(32, 'L');
}

void TestPortLine::longTagSearchRequest()
{
    QFETCH(QString, longTag);
    QFETCH(QByteArray, data);
    HartSimUniversalCommands::install(*m_sim);
    m_sim->updateDevice(0, [&](HartSimDevice &device) { device.values.insert(QStringLiteral("long_tag"), longTag.left(32)); });
    QVERIFY(m_port->openHart());
    QVariantMap found;
    QVERIFY(m_port->checkHartDeviceByLongTag(longTag, &found));
    QCOMPARE(m_sim->requests().first().command, quint8(21));
    QCOMPARE(m_sim->requests().first().data, data);
    QCOMPARE(found.value(QStringLiteral("address")).toByteArray(), m_device.uniqueAddress());
}

void TestPortLine::findDeviceBroadcasts()
{
    HartSimUniversalCommands::install(*m_sim);
    QVERIFY(m_port->openHart());
    QVariantMap found;
    QVERIFY(m_port->findDevice(&found));
    const HartSimRequest request = m_sim->requests().first();
    QCOMPARE(request.command, quint8(73));
    QVERIFY(request.data.isEmpty());
    QCOMPARE(request.preambleCount, m_port->hartPort.initialPreamblesCount);
    QCOMPARE(request.address, QByteArray::fromHex("8000000000"));
    QCOMPARE(found.value(QStringLiteral("device_type_code")).toInt(), int(m_device.deviceTypeCode));
}

QTEST_GUILESS_MAIN(TestPortLine)
#include "tst_portline.moc"
