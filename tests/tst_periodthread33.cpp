#include "measure/periodthread.h"
#include "measure/periodthread33.h"
#include "hartsimacivelcommands.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "queuedsignalspy.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <memory>

// The command-33 poller against the simulated pH meter: the response maps, the slots an answer
// leaves out, stopping, and the polling flag shared with the measurement tab's poller.
class TestPeriodThread33 : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void responseMap_data();
    void responseMap();
    void valuesFollowTheDevice();
    void pollingFlagLastsWhileAnyPollerRuns();

private:
    QVariantMap nextMap(QueuedSignalSpy &spy);

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Port *m_port = nullptr;
    Device *m_device = nullptr;
    std::unique_ptr<PeriodThread33> m_thread;
};

void TestPeriodThread33::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimAcivelCommands::install(*m_sim);
    HartSimDevice meter = HartSimAcivelCommands::device();
    const QList<std::pair<int, float>> variables{{1, 25.0f}, {4, -120.5f}, {6, 7.01f}};
    for (const auto &[code, value] : variables) {
        meter.values.insert(QStringLiteral("variable_%1_value").arg(code), value);
        meter.values.insert(QStringLiteral("variable_%1_unit_code").arg(code), code == 4 ? 36 : 59);
    }
    m_sim->addDevice(meter);
    m_server = std::make_unique<Server>();
    m_port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(m_port->setSerialName(m_sim->portName()));
    m_port->hartPort.setProperty("response_timeout", 100);
    m_port->hartPort.setProperty("byte_timeout", 20);
    m_device = m_port->createDevice(QStringLiteral("Acivel-M"));
    m_port->insertChild(-1, m_device);
    m_thread = std::make_unique<PeriodThread33>();
}

void TestPeriodThread33::cleanup()
{
    m_thread.reset();
    m_server.reset();
    m_sim.reset();
}

QVariantMap TestPeriodThread33::nextMap(QueuedSignalSpy &spy)
{
    const int before = spy.count();
    if (!spy.wait(5000) && spy.count() == before)
        return QVariantMap();
    return spy.last().first().toMap();
}

void TestPeriodThread33::responseMap_data()
{
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("errorText");
    const QString status = QStringLiteral(" statusCode statusText");
    QTest::newRow("three slots, the unused fourth left out")
        << -1 << false << QStringLiteral("slot_0_unit_code slot_0_value slot_1_unit_code slot_1_value "
                                         "slot_2_unit_code slot_2_value") + status
        << QString();
    QTest::newRow("a cut answer leaves out the slots it lacks")
        << 13 << false << QStringLiteral("slot_0_unit_code slot_0_value slot_1_unit_code slot_1_value") + status
        << QString();
    QTest::newRow("silent device")
        << -1 << true << QStringLiteral("errorText slot_0_value statusCode") << QStringLiteral("Response timeout (100ms)");
}

void TestPeriodThread33::responseMap()
{
    QFETCH(int, replyLength);
    QFETCH(bool, silent);
    QFETCH(QString, keys);
    QFETCH(QString, errorText);
    QueuedSignalSpy spy(m_thread.get(), &PeriodThread33::responsePeriodThrd33);
    m_thread->setDevice(m_device, 60000, 1, 4, 6, PeriodThread33::NotUsed);
    QCOMPARE(nextMap(spy).value(QStringLiteral("slot_2_value")), QVariant(7.01f));

    // The next poll, after a full one, must not repeat that one's values.
    m_sim->updateDevice(0, [&](HartSimDevice &device) {
        if (replyLength >= 0)
            device.values.insert(QStringLiteral("reply_length_33"), replyLength);
    });
    HartSimFaults faults;
    faults.silent = silent;
    m_sim->setFaults(faults);
    m_thread->setDevice(m_device, 60000, 1, 4, 6, PeriodThread33::NotUsed);
    const QVariantMap map = nextMap(spy);
    QCOMPARE(map.keys().join(QLatin1Char(' ')), keys);
    QCOMPARE(map.value(QStringLiteral("errorText")).toString(), errorText);
    if (!silent) {
        QCOMPARE(map.value(QStringLiteral("slot_1_value")), QVariant(-120.5f));
        QCOMPARE(map.value(QStringLiteral("slot_1_unit_code")).toInt(), 36);
        QCOMPARE(map.value(QStringLiteral("statusCode")).toString(), QStringLiteral("00 00"));
    }
    const QByteArray request = m_sim->requests().last().data;
    QCOMPARE(request, QByteArray::fromHex("010406"));
}

void TestPeriodThread33::valuesFollowTheDevice()
{
    auto setVariables = [this](float rc, float rt) {
        m_sim->updateDevice(0, [&](HartSimDevice &device) {
            device.values.insert(QStringLiteral("variable_2_value"), rc);
            device.values.insert(QStringLiteral("variable_5_value"), rt);
        });
    };
    setVariables(12.5f, 110.0f);
    QueuedSignalSpy spy(m_thread.get(), &PeriodThread33::responsePeriodThrd33);
    m_thread->setDevice(m_device, 200, 2, 4, 5, PeriodThread33::NotUsed);
    QCOMPARE(nextMap(spy).value(QStringLiteral("slot_2_value")), QVariant(110.0f));

    setVariables(std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity());
    QTRY_VERIFY(std::isnan(spy.last().first().toMap().value(QStringLiteral("slot_0_value")).toFloat()));
    QCOMPARE(spy.last().first().toMap().value(QStringLiteral("slot_2_value")).toString(), QStringLiteral("-inf"));
}

void TestPeriodThread33::pollingFlagLastsWhileAnyPollerRuns()
{
    PeriodThread measurement;
    QueuedSignalSpy measured(&measurement, &PeriodThread::responsePV);
    m_thread->setDevice(m_device, 60000, 1, 4, 6, PeriodThread33::NotUsed);
    measurement.setDevice(m_device, 60000);
    QVERIFY(measured.wait());
    m_thread->setDevice(m_device, 60000, 2, 4, 5, PeriodThread33::NotUsed);   // a re-target counts once

    m_thread->stopThread();
    QVERIFY(m_thread->isFinished());
    QVERIFY(m_device->hasStateFlag(Device::StatePeriodicallyRequested));
    m_port->closeHart();
    QVERIFY(m_port->isOpened());

    measurement.stopThread();
    QVERIFY(!m_device->hasStateFlag(Device::StatePeriodicallyRequested));
    m_thread->stopThread();   // a second stop changes nothing
    QCOMPARE(m_device->pollerCount(), 0);
}

QTEST_GUILESS_MAIN(TestPeriodThread33)
#include "tst_periodthread33.moc"
