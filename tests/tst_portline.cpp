#include "device.h"
#include "hartsimulator.h"
#include "port.h"
#include "server.h"

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

QTEST_GUILESS_MAIN(TestPortLine)
#include "tst_portline.moc"
