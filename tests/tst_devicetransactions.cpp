#include "model/device.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/port.h"
#include "model/server.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// A device's HART transactions through its port, against the simulated slave: logging, outcome,
// identification, line opening and the one-transaction-at-a-time rule.
class TestDeviceTransactions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void successfulReadLog();
    void unidentifiedDeviceUsesItsPollingAddress_data();
    void unidentifiedDeviceUsesItsPollingAddress();
    void failedTransactionLog_data();
    void failedTransactionLog();
    void deviceStatusIsLoggedOnSuccess();
    void lineThatCannotBeOpened();
    void identification_data();
    void identification();
    void identificationFailureLog();
    void refusedIdentificationIsAFailure_data();
    void refusedIdentificationIsAFailure();
    void checkDeviceClearsMapOnlyWhenAsked();
    void failureKeepsTheDeviceRecord_data();
    void failureKeepsTheDeviceRecord();
    void deviceWithIdTakesPortSettings();
    void devicesOfOnePortNeverOverlap();
    void twoPortsRunInParallel();

private:
    Port *addPort(HartSimulator &sim);
    Device *addDevice(Port *port, quint8 pollingAddress, const QString &templateName = QStringLiteral("General"));

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Port *m_port = nullptr;
    Device *m_device = nullptr;
};

void TestDeviceTransactions::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimDevice simDevice(0);
    simDevice.tag = QStringLiteral("TT101");
    simDevice.values.insert(QStringLiteral("long_tag"), QStringLiteral("Boiler feed temperature"));
    simDevice.values.insert(QStringLiteral("PV_unit_code"), 32);
    simDevice.values.insert(QStringLiteral("PV"), 21.5f);
    m_sim->addDevice(simDevice);
    m_server = std::make_unique<Server>();
    m_port = addPort(*m_sim);
    m_device = addDevice(m_port, 0);
}

void TestDeviceTransactions::cleanup()
{
    m_server.reset();
    m_sim.reset();
}

Port *TestDeviceTransactions::addPort(HartSimulator &sim)
{
    Port *port = m_server->addPort(QStringLiteral("COM%1").arg(m_server->ports().size() + 1));
    if (!port->setSerialName(sim.portName()))
        return nullptr;
    // Failures need not wait the full default response time.
    port->hartPort.setProperty("response_timeout", 100);
    port->hartPort.setProperty("byte_timeout", 20);
    return port;
}

Device *TestDeviceTransactions::addDevice(Port *port, quint8 pollingAddress, const QString &templateName)
{
    Device *device = port->createDevice(templateName);
    device->setAddress(pollingAddress);
    port->insertChild(-1, device);
    return device;
}

void TestDeviceTransactions::successfulReadLog()
{
    QVERIFY(m_device->readDevice(1));
    const QStringList log = m_device->logLines();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log.at(0), QStringLiteral("\nreading PV (cmd=1)..."));
    QCOMPARE(log.at(1), m_port->hartPort.txLogLine);
    QCOMPARE(log.at(2), m_port->hartPort.rxLogLine);
    QVERIFY(!log.at(1).isEmpty() && !log.at(2).isEmpty());
    QCOMPARE(log.at(3), QStringLiteral("Success (processing time: %1ms)").arg(m_device->processingTime()));
    QVERIFY(m_device->hasStateFlag(Device::StateReadFromDevice));
    QCOMPARE(m_device->result(), 1);
    QCOMPARE(m_device->state(), int(ServerItem::StateSuccess));
    QCOMPARE(m_device->parameterFloat(QStringLiteral("PV")), 21.5f);
}

void TestDeviceTransactions::unidentifiedDeviceUsesItsPollingAddress_data()
{
    QTest::addColumn<quint8>("pollingAddress");
    QTest::newRow("address 0") << quint8(0);
    QTest::newRow("address 3 of a multidrop line") << quint8(3);
}

void TestDeviceTransactions::unidentifiedDeviceUsesItsPollingAddress()
{
    QFETCH(quint8, pollingAddress);
    m_sim->addDevice(HartSimDevice(3, 0x26, 0x4E, QByteArray::fromHex("333333")));
    Device *device = pollingAddress == 0 ? m_device : addDevice(m_port, pollingAddress);
    QVERIFY(device->readDevice(1));
    const HartSimRequest request = m_sim->requests().last();
    QVERIFY(!request.isLongFrame());
    QCOMPARE(quint8(request.address.at(0)) & 0x3F, int(pollingAddress));
}

void TestDeviceTransactions::failedTransactionLog_data()
{
    QTest::addColumn<bool>("writing");
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("responseCode");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("messageStart");
    QTest::addColumn<QString>("signalStart");
    QTest::newRow("read timeout") << false << 1 << -1 << 4 << QStringLiteral("error 4 reading 'PV' - ")
                                  << QStringLiteral("error 4 executing cmd=1\n");
    QTest::newRow("read with a failing status") << false << 3 << 7 << -3
                                                << QStringLiteral("error -3 reading 'device variables & output current' - ")
                                                << QStringLiteral("error -3 executing cmd=3\n");
    QTest::newRow("write timeout names the writing") << true << 17 << -1 << 4
                                                     << QStringLiteral("error 4 writing message - ")
                                                     << QStringLiteral("error executing cmd=17\n");
    QTest::newRow("reset has no verb") << true << 42 << -1 << 4 << QStringLiteral("error 4  reset device - ")
                                       << QStringLiteral("error executing cmd=42\n");
}

void TestDeviceTransactions::failedTransactionLog()
{
    QFETCH(bool, writing);
    QFETCH(int, command);
    QFETCH(int, responseCode);
    QFETCH(int, result);
    QFETCH(QString, messageStart);
    QFETCH(QString, signalStart);
    HartSimFaults faults;
    faults.silent = responseCode < 0;
    faults.responseCode = responseCode;
    m_sim->setFaults(faults);
    QSignalSpy errors(m_device, &Device::deviceError);

    QVERIFY(!(writing ? m_device->writeDevice(command) : m_device->readDevice(command)));
    QCOMPARE(m_device->result(), result);
    QCOMPARE(m_device->state(), int(ServerItem::StateFailure));
    QCOMPARE(m_device->errorCounter(), 1);
    QCOMPARE(m_device->lastErrorText(), m_port->hartPort.errorText);
    QVERIFY(!m_device->hasStateFlag(writing ? Device::StateSavedInDevice : Device::StateReadFromDevice));

    const QString expected = messageStart + m_port->hartPort.errorText
                             + QStringLiteral("\nError (processing time: %1ms)").arg(m_device->processingTime());
    QCOMPARE(m_device->logLines().last(), expected);
    QCOMPARE(errors.count(), 1);
    const QString signalText = errors.first().first().toString();
    QVERIFY2(signalText.startsWith(signalStart), qPrintable(signalText));
    QVERIFY(!signalText.contains(QStringLiteral(" - ")));
}

void TestDeviceTransactions::deviceStatusIsLoggedOnSuccess()
{
    m_sim->updateDevice(0, [](HartSimDevice &device) { device.deviceStatus = 0x40; });
    QSignalSpy status(m_device, &Device::deviceStatus);
    QVERIFY(m_device->readDevice(1));
    const QStringList log = m_device->logLines();
    const int statusLine = int(log.indexOf(QStringLiteral("Device status: [00 40]")));
    QCOMPARE(statusLine, 3);
    QCOMPARE(log.at(4), m_port->hartPort.statusTexts.join(QLatin1Char('\n')));
    QVERIFY(log.last().startsWith(QStringLiteral("Success")));
    QCOMPARE(m_device->lastStatusBytes(), QByteArray::fromHex("0040"));
    QVERIFY(!status.isEmpty());
    QCOMPARE(status.first().at(1).toByteArray(), QByteArray::fromHex("0040"));
}

void TestDeviceTransactions::lineThatCannotBeOpened()
{
    QVERIFY(m_port->setSerialName(QStringLiteral("/dev/tenvara-no-such-port")));
    QSignalSpy errors(m_device, &Device::deviceError);
    QByteArray reply;
    QCOMPARE(m_device->read(QStringLiteral("PV"), 1, reply), 4);
    QCOMPARE(m_sim->requestCount(), 0);
    QCOMPARE(m_device->processingTime(), 0);
    QVERIFY(m_device->logLines().contains(m_port->lastErrorText()));
    QVERIFY(m_port->lastErrorText().startsWith(QStringLiteral("Can't open /dev/tenvara-no-such-port!")));
    QCOMPARE(m_device->logLines().last(),
             QStringLiteral("error 4 reading 'PV' - %1\nError (processing time: 0ms)").arg(m_port->lastErrorText()));
    QCOMPARE(errors.count(), 1);
    QCOMPARE(m_port->transactionSemaphore.available(), 1);

    QVERIFY(!m_device->checkDevice(QString(), QString(), true));
    QCOMPARE(m_device->result(), 4);
    QCOMPARE(m_port->transactionSemaphore.available(), 1);
}

void TestDeviceTransactions::identification_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("longTag");
    QTest::addColumn<bool>("find");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("logLine");
    QTest::newRow("at the polling address") << QString() << QString() << false << 0
                                            << QStringLiteral("\nTry to check %1 at address 0 via %2 ...");
    QTest::newRow("by tag") << QStringLiteral("TT101") << QString() << false << 11
                            << QStringLiteral("\nTry to check %1 by tag 'TT101' via %2 ...");
    QTest::newRow("by long tag") << QString() << QStringLiteral("Boiler feed temperature") << false << 21
                                 << QStringLiteral("\nTry to check %1 by long tag 'Boiler feed temperature' via %2 ...");
    QTest::newRow("find device") << QString() << QString() << true << 73 << QStringLiteral("Try to check %1 via %2 ...");
}

void TestDeviceTransactions::identification()
{
    QFETCH(QString, tag);
    QFETCH(QString, longTag);
    QFETCH(bool, find);
    QFETCH(int, command);
    QFETCH(QString, logLine);
    const HartSimDevice simDevice = m_sim->device(0);
    QSignalSpy errors(m_device, &Device::deviceError);

    QVERIFY(find ? m_device->findDevice() : m_device->checkDevice(tag, longTag, true));
    QCOMPARE(m_sim->requests().last().command, quint8(command));
    QCOMPARE(m_device->uniqueAddress(), simDevice.uniqueAddress());
    QCOMPARE(m_device->deviceId(), simDevice.deviceId);
    QCOMPARE(m_device->parameterInt(QStringLiteral("manufacturer_code")), int(simDevice.manufacturerCode));
    QCOMPARE(m_device->parameterByteArray(QStringLiteral("address")), simDevice.uniqueAddress());
    QCOMPARE(m_device->logLines().first(), logLine.arg(m_device->name(), m_port->settingsText()));
    const QString hexAddress = QStringLiteral("26 4e 12 34 56");
    const QString success = find ? QStringLiteral("Checked successfully - %1!").arg(hexAddress)
                                 : QStringLiteral("Checked successfully - %1 (26 4e 60 26 exts:00)!").arg(hexAddress);
    QCOMPARE(m_device->logLines().last(), success);
    QCOMPARE(m_device->result(), 1);
    QCOMPARE(errors.last().first().toString(), QString());
    QCOMPARE(m_port->transactionSemaphore.available(), 1);

    // Identified, the device is addressed by its unique address.
    QVERIFY(m_device->readDevice(1));
    const HartSimRequest request = m_sim->requests().last();
    QVERIFY(request.isLongFrame());
    QCOMPARE(request.address.mid(1), simDevice.uniqueAddress().mid(1));
}

void TestDeviceTransactions::identificationFailureLog()
{
    QSignalSpy errors(m_device, &Device::deviceError);
    QVERIFY(!m_device->checkDevice(QStringLiteral("NOSUCH"), QString(), true));
    QVERIFY(m_device->logLines().contains(QStringLiteral("Get device ID by cmd 11 error:")));
    QCOMPARE(m_device->state(), int(ServerItem::StateFailure));
    QCOMPARE(errors.count(), 2);
    QCOMPARE(errors.at(0).first().toString(), QStringLiteral("Get device ID by cmd 11 error:"));
    QCOMPARE(errors.at(1).first().toString(), m_port->lastErrorText());
    QVERIFY(m_device->uniqueAddress().isEmpty());
}

void TestDeviceTransactions::refusedIdentificationIsAFailure_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("identityLength");
    QTest::addColumn<bool>("afterTimeout");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("errorText");
    QTest::newRow("identity reply too short") << QString() << 11 << false << -2
                                              << QStringLiteral("Invalid response lenght of command ZERO.");
    QTest::newRow("tag with a refused character") << QStringLiteral("tt101") << 22 << false << 3
                                                  << QStringLiteral("Invalid chars in device tag!");
    QTest::newRow("unpackable tag after a timeout reports itself, not the timeout")
        << QStringLiteral("A{") << 22 << true << 3 << QStringLiteral("*** pack/unpack error!");
}

void TestDeviceTransactions::refusedIdentificationIsAFailure()
{
    QFETCH(QString, tag);
    QFETCH(int, identityLength);
    QFETCH(bool, afterTimeout);
    QFETCH(int, result);
    QFETCH(QString, errorText);
    if (afterTimeout) {
        HartSimFaults silent;
        silent.silent = true;
        m_sim->setFaults(silent);
        QVERIFY(!m_device->checkDevice(QStringLiteral("TT"), QString(), true));
        m_sim->setFaults(HartSimFaults());
    }
    m_sim->updateDevice(0, [&](HartSimDevice &device) { device.identityLength = identityLength; });
    QVERIFY(!m_device->checkDevice(tag, QString(), true));
    QCOMPARE(m_device->state(), int(ServerItem::StateFailure));
    QCOMPARE(m_device->result(), result);
    QCOMPARE(m_device->lastErrorText(), errorText);
    QCOMPARE(m_port->transactionSemaphore.available(), 1);
}

void TestDeviceTransactions::checkDeviceClearsMapOnlyWhenAsked()
{
    m_device->setParameter(QStringLiteral("kept"), 1);
    QVERIFY(m_device->checkDevice(QString(), QStringLiteral("Boiler feed temperature"), false));
    QCOMPARE(m_sim->requests().last().command, quint8(21));
    QVERIFY(m_device->hasParameter(QStringLiteral("kept")));

    // Answered by the same instrument the record stays; by another only its polling address does.
    QVERIFY(m_device->readDevice(0) && m_device->readDevice(73));
    QVERIFY(m_device->hasParameter(QStringLiteral("kept")));
    m_sim->addDevice(HartSimDevice(1, 0x26, 0x4E, QByteArray::fromHex("222222")));
    m_device->setAddress(1);
    m_device->setParameter(QStringLiteral("polling_address"), 1);
    QVERIFY(m_device->readDevice(0));
    QVERIFY(!m_device->hasParameter(QStringLiteral("kept")));
    QCOMPARE(m_device->parameterInt(QStringLiteral("polling_address")), 1);
    QCOMPARE(m_device->deviceId(), QByteArray::fromHex("222222"));
}

void TestDeviceTransactions::failureKeepsTheDeviceRecord_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("device not answering command 73") << QStringLiteral("find");
    QTest::newRow("failed check at the polling address asked to clear") << QStringLiteral("address");
    QTest::newRow("failed check by tag asked to clear") << QStringLiteral("tag");
    QTest::newRow("port that does not open") << QStringLiteral("port");
}

void TestDeviceTransactions::failureKeepsTheDeviceRecord()
{
    QFETCH(QString, failure);
    QVERIFY(m_device->readDevice(0));
    QVERIFY(m_device->readDevice(1));
    const QVariantMap record = m_device->parameters();
    const QByteArray uniqueAddress = m_device->uniqueAddress();
    const QByteArray deviceId = m_device->deviceId();

    HartSimFaults silent;
    silent.silent = true;
    m_sim->setFaults(failure == QLatin1String("find") || failure == QLatin1String("address") ? silent : HartSimFaults());
    if (failure == QLatin1String("find"))
        QVERIFY(!m_device->readDevice(73));
    else if (failure == QLatin1String("address"))
        QVERIFY(!m_device->readDevice(0));
    else if (failure == QLatin1String("tag"))
        QVERIFY(!m_device->checkDevice(QStringLiteral("NOSUCH"), QString(), true));
    else {
        m_port->closeHart();
        QVERIFY(m_port->setSerialName(QStringLiteral("/dev/tenvara-no-such-port")));
        QVERIFY(!m_device->readDevice(1));
        QCOMPARE(m_device->result(), 4);
        QVERIFY(m_port->setSerialName(m_sim->portName()));
    }
    QCOMPARE(m_device->parameters(), record);
    QCOMPARE(m_device->uniqueAddress(), uniqueAddress);
    QCOMPARE(m_device->deviceId(), deviceId);

    // Once the line answers again the device works by its long address, without a new search.
    m_sim->setFaults(HartSimFaults());
    QVERIFY(m_device->readDevice(1));
    QVERIFY(m_sim->requests().last().isLongFrame());
}

void TestDeviceTransactions::deviceWithIdTakesPortSettings()
{
    // As loaded from a configuration: a device ID, but no line settings of its own.
    m_device->setDeviceId(QByteArray::fromHex("123456"));
    m_port->setProperty("baudrate", 1200);
    QVERIFY(!m_device->lineSettings().defined);

    QVERIFY(m_device->readDevice(1));
    const Device::LineSettings settings = m_device->lineSettings();
    QVERIFY(settings.defined);
    QCOMPARE(settings.serialName, m_sim->portName());
    QCOMPARE(settings.baudrate, 1200);
    QCOMPARE(settings.parity, QLatin1Char('O'));
    QCOMPARE(settings.databits, 8);
    QCOMPARE(settings.stopbits, 1);
    QCOMPARE(m_port->property("baudrate").toInt(), 1200);
    QCOMPARE(m_port->property("parity").toChar(), QLatin1Char('O'));
    QCOMPARE(m_port->property("databits").toInt(), 8);
    QCOMPARE(m_port->property("stopbits").toInt(), 1);
}

void TestDeviceTransactions::devicesOfOnePortNeverOverlap()
{
    m_sim->addDevice(HartSimDevice(1, 0x26, 0x4E, QByteArray::fromHex("111111")));
    Device *second = addDevice(m_port, 1);
    HartSimFaults faults;
    faults.replyDelayMs = 20;
    m_sim->setFaults(faults);

    constexpr int Reads = 5;
    int firstOk = 0;
    int secondOk = 0;
    std::thread a([&] { for (int i = 0; i < Reads; ++i) firstOk += m_device->readDevice(1) ? 1 : 0; });
    std::thread b([&] { for (int i = 0; i < Reads; ++i) secondOk += second->readDevice(1) ? 1 : 0; });
    a.join();
    b.join();

    QCOMPARE(firstOk, Reads);
    QCOMPARE(secondOk, Reads);
    const QList<HartSimRequest> requests = m_sim->requests();
    QCOMPARE(requests.size(), 2 * Reads);
    for (int i = 0; i < requests.size(); ++i) {
        QVERIFY(requests.at(i).checksumOk && requests.at(i).answered);
        // Each request came only after the previous reply had been sent.
        if (i > 0)
            QVERIFY(requests.at(i).receivedAtMs - requests.at(i - 1).receivedAtMs >= faults.replyDelayMs);
    }
    QCOMPARE(m_port->transactionSemaphore.available(), 1);
}

void TestDeviceTransactions::twoPortsRunInParallel()
{
    HartSimulator otherSim;
    QVERIFY(otherSim.isValid());
    HartSimUniversalCommands::install(otherSim);
    otherSim.addDevice(HartSimDevice(0));
    Port *otherPort = addPort(otherSim);
    QVERIFY(otherPort);
    Device *other = addDevice(otherPort, 0);
    QVERIFY(m_device->readDevice(1));
    QVERIFY(other->readDevice(1));

    // Each line answers only once the other line has its request too: one after the other,
    // the first reply would never come.
    std::mutex lock;
    std::condition_variable arrived;
    int requests = 0;
    const HartSimulator::Handler meetThenAnswer = [&](HartSimDevice &, const QByteArray &) {
        std::unique_lock<std::mutex> locker(lock);
        ++requests;
        arrived.notify_all();
        HartSimResponse response;
        response.silent = !arrived.wait_for(locker, std::chrono::seconds(4), [&] { return requests >= 2; });
        response.data = QByteArray::fromHex("2041AC0000");
        return response;
    };
    m_sim->setHandler(1, meetThenAnswer);
    otherSim.setHandler(1, meetThenAnswer);
    m_port->hartPort.setProperty("response_timeout", 5000);
    otherPort->hartPort.setProperty("response_timeout", 5000);
    bool firstOk = false;
    bool otherOk = false;
    std::thread a([&] { firstOk = m_device->readDevice(1); });
    std::thread b([&] { otherOk = other->readDevice(1); });
    a.join();
    b.join();
    QVERIFY(firstOk && otherOk);
    QCOMPARE(other->parameterFloat(QStringLiteral("PV")), 21.5f);
    m_server.reset();
}

QTEST_GUILESS_MAIN(TestDeviceTransactions)
#include "tst_devicetransactions.moc"
