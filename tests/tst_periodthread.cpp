#include "measure/periodthread.h"
#include "hartsimulator.h"
#include "hartsimuniversalcommands.h"
#include "model/device.h"
#include "model/port.h"
#include "model/server.h"
#include "queuedsignalspy.h"

#include <QMutex>
#include <QSemaphore>
#include <QTest>

#include <memory>

namespace {

QMutex capturedLock;
QStringList capturedLines;

void captureLine(QtMsgType, const QMessageLogContext &, const QString &message)
{
    QMutexLocker locker(&capturedLock);
    capturedLines.append(message);
}

} // namespace

// The polling thread against the simulated slave: the response maps, stopping, lost ticks, the
// "periodically requested" flag, and that every map carries the outcome of its own read.
class TestPeriodThread : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void responseMap_data();
    void responseMap();
    void stopDuringRead_data();
    void stopDuringRead();
    void ticksDuringAReadAreLost();
    void pollingFlagKeepsTheLineOpen();
    void refusedStart_data();
    void refusedStart();
    void mapCarriesItsOwnOutcome_data();
    void mapCarriesItsOwnOutcome();
    void logLines();

private:
    Device *addDevice(quint8 pollingAddress);
    QVariantMap firstMap(int period = 60000);

    std::unique_ptr<HartSimulator> m_sim;
    std::unique_ptr<Server> m_server;
    Port *m_port = nullptr;
    Device *m_device = nullptr;
    std::unique_ptr<PeriodThread> m_thread;
};

void TestPeriodThread::init()
{
    m_sim = std::make_unique<HartSimulator>();
    QVERIFY(m_sim->isValid());
    HartSimUniversalCommands::install(*m_sim);
    HartSimDevice simDevice(0);
    simDevice.values.insert(QStringLiteral("output_current"), 12.5f);
    const QStringList variables{QStringLiteral("PV"), QStringLiteral("SV"), QStringLiteral("TV"), QStringLiteral("QV")};
    for (int i = 0; i < variables.size(); ++i) {
        simDevice.values.insert(variables.at(i), 20.0f + float(i));
        simDevice.values.insert(variables.at(i) + QStringLiteral("_unit_code"), 32);
    }
    m_sim->addDevice(simDevice);
    m_server = std::make_unique<Server>();
    m_port = m_server->addPort(QStringLiteral("COM1"));
    QVERIFY(m_port->setSerialName(m_sim->portName()));
    m_port->hartPort.setProperty("response_timeout", 100);
    m_port->hartPort.setProperty("byte_timeout", 20);
    m_device = addDevice(0);
    m_thread = std::make_unique<PeriodThread>();
}

void TestPeriodThread::cleanup()
{
    m_thread.reset();
    m_server.reset();
    m_sim.reset();
}

Device *TestPeriodThread::addDevice(quint8 pollingAddress)
{
    Device *device = m_port->createDevice(QStringLiteral("General"));
    device->setAddress(pollingAddress);
    m_port->insertChild(-1, device);
    return device;
}

QVariantMap TestPeriodThread::firstMap(int period)
{
    QueuedSignalSpy spy(m_thread.get(), &PeriodThread::responsePV);
    m_thread->setDevice(m_device, period);
    if (spy.isEmpty() && !spy.wait(5000))
        return QVariantMap();
    return spy.first().first().toMap();
}

void TestPeriodThread::responseMap_data()
{
    // Keys in sorted order; "SV" stands for "SV" and "SVUnitCodeText", and so on.
    QTest::addColumn<int>("replyLength");
    QTest::addColumn<int>("svUnitCode");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<int>("responseCode");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QVariant>("pv");
    QTest::addColumn<QString>("statusCode");
    QTest::addColumn<QString>("errorText");
    const QString success = QStringLiteral("DateTime output_current statusCode statusText ");
    const QString failure = QStringLiteral("DateTime PV errorText output_current statusCode");
    QTest::newRow("PV only, an earlier SV is not repeated")
        << 9 << 32 << false << -1 << success + QStringLiteral("PV") << QVariant(20.0f) << QStringLiteral("00 00") << QString();
    QTest::newRow("PV and SV") << 14 << 32 << false << -1 << success + QStringLiteral("PV SV") << QVariant(20.0f)
                               << QStringLiteral("00 00") << QString();
    QTest::newRow("up to TV") << 19 << 32 << false << -1 << success + QStringLiteral("PV SV TV") << QVariant(20.0f)
                              << QStringLiteral("00 00") << QString();
    QTest::newRow("all four") << 24 << 32 << false << -1 << success + QStringLiteral("PV QV SV TV") << QVariant(20.0f)
                              << QStringLiteral("00 00") << QString();
    QTest::newRow("SV not used, TV and QV judged apart") << 24 << 250 << false << -1 << success + QStringLiteral("PV QV TV")
                                                         << QVariant(20.0f) << QStringLiteral("00 00") << QString();
    QTest::newRow("silent device") << 24 << 32 << true << -1 << failure << QVariant() << QString()
                                   << QStringLiteral("Response timeout (100ms)");
    QTest::newRow("two error lines each start a line")
        << 24 << 32 << false << 0xC8 << failure << QVariant() << QStringLiteral("C8 00")
        << QStringLiteral("Communication error: \n*** parity error\n*** checksum error");
}

void TestPeriodThread::responseMap()
{
    QFETCH(int, replyLength);
    QFETCH(int, svUnitCode);
    QFETCH(bool, silent);
    QFETCH(int, responseCode);
    QFETCH(QString, keys);
    QFETCH(QVariant, pv);
    QFETCH(QString, statusCode);
    QFETCH(QString, errorText);
    m_sim->updateDevice(0, [&](HartSimDevice &device) {
        device.values.insert(QStringLiteral("reply_length_3"), replyLength);
        device.values.insert(QStringLiteral("SV_unit_code"), svUnitCode);
    });
    HartSimFaults faults;
    faults.silent = silent;
    faults.responseCode = responseCode;
    m_sim->setFaults(faults);
    m_device->setParameter(QStringLiteral("SV"), 99.0f);
    m_device->setParameter(QStringLiteral("output_current"), 12.5f);   // a failure must not repeat it

    const QVariantMap map = firstMap();
    QStringList expected;
    for (const QString &key : keys.split(QLatin1Char(' '))) {
        expected << key;
        if (key.endsWith(QLatin1Char('V')) && map.contains(QStringLiteral("statusText")))
            expected << key + QStringLiteral("UnitCodeText");
    }
    expected.sort();
    QCOMPARE(map.keys(), expected);
    QCOMPARE(map.value(QStringLiteral("PV")), pv);
    QCOMPARE(map.value(QStringLiteral("output_current")), errorText.isEmpty() ? QVariant(12.5f) : QVariant());
    QCOMPARE(map.value(QStringLiteral("statusCode")).toString(), statusCode);
    QCOMPARE(map.value(QStringLiteral("errorText")).toString(), errorText);
    QVERIFY(map.value(QStringLiteral("DateTime")).toDateTime().isValid());
}

void TestPeriodThread::stopDuringRead_data()
{
    QTest::addColumn<int>("responseCode");
    QTest::addColumn<int>("maps");
    QTest::addColumn<bool>("lineTaken");   // another device's read holds the line as the poll starts
    QTest::newRow("a successful read is dropped") << -1 << 0 << false;
    QTest::newRow("a failed read is still reported") << 7 << 1 << false;
    QTest::newRow("a poll stopped while it waits for the line sends nothing") << -1 << 0 << true;
}

void TestPeriodThread::stopDuringRead()
{
    QFETCH(int, responseCode);
    QFETCH(int, maps);
    QFETCH(bool, lineTaken);
    m_port->hartPort.setProperty("response_timeout", 2000);
    HartSimFaults faults;
    faults.replyDelayMs = 600;
    faults.responseCode = responseCode;
    m_sim->setFaults(faults);
    QueuedSignalSpy spy(m_thread.get(), &PeriodThread::responsePV);

    if (lineTaken) {
        // Started as another device's read takes the line, stopped from its status report.
        m_sim->addDevice(HartSimDevice(1));
        Device *other = addDevice(1);
        connect(other, &Device::modbusMessage, this, [&] { m_thread->setDevice(m_device, 60000); },
                Qt::SingleShotConnection);
        connect(other, &Device::deviceStatus, m_thread.get(), &PeriodThread::stopThread);
        other->readDevice(3);
        QTRY_VERIFY(m_thread->isFinished());
        QCOMPARE(m_sim->requestCount(), 1);   // the other device's read only
    } else {
        m_thread->setDevice(m_device, 60000);
        QTRY_COMPARE(m_sim->requestCount(), 1);
        m_thread->stopThread();
        QVERIFY(m_thread->isFinished());
        QCOMPARE(m_sim->repliesSent(), 1);   // the read was finished first
    }
    QCoreApplication::sendPostedEvents(); // what the ended worker emitted
    QCOMPARE(spy.count(), maps);
    QVERIFY(!m_device->hasStateFlag(Device::StatePeriodicallyRequested));
}

void TestPeriodThread::ticksDuringAReadAreLost()
{
    // Slow reads first, then quick ones: a tick that came during a slow read must not be made up
    // later by a read right after the previous one.
    // The period is well above the time of a quick read (about 150 ms here), so a made-up read
    // would show as a short gap.
    const int period = 500;
    m_port->hartPort.setProperty("response_timeout", 2500);
    HartSimFaults slow;
    slow.replyDelayMs = 3 * period;
    m_sim->setFaults(slow);
    QueuedSignalSpy spy(m_thread.get(), &PeriodThread::responsePV);
    m_thread->setDevice(m_device, period);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 10000);
    m_sim->setFaults(HartSimFaults());
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 4, 10000);
    m_thread->stopThread();

    const QList<HartSimRequest> requests = m_sim->requests();
    for (int i = 1; i < requests.size(); ++i) {
        const qint64 gap = requests.at(i).receivedAtMs - requests.at(i - 1).receivedAtMs;
        QVERIFY2(gap >= period / 2, qPrintable(QStringLiteral("read %1 came %2 ms after the one before").arg(i).arg(gap)));
    }
}

void TestPeriodThread::pollingFlagKeepsTheLineOpen()
{
    QueuedSignalSpy spy(m_thread.get(), &PeriodThread::responsePV);
    m_thread->setDevice(m_device, 60000);
    QVERIFY(m_device->hasStateFlag(Device::StatePeriodicallyRequested));
    QVERIFY(spy.wait());
    m_port->closeHart();
    QVERIFY(m_port->isOpened());

    // Another device takes over: the earlier one loses its mark.
    Device *other = addDevice(1);
    m_thread->setDevice(other, 60000);
    QVERIFY(!m_device->hasStateFlag(Device::StatePeriodicallyRequested));
    QVERIFY(other->hasStateFlag(Device::StatePeriodicallyRequested));

    m_thread->stopThread();
    QVERIFY(!other->hasStateFlag(Device::StatePeriodicallyRequested));
    m_port->closeHart();
    QVERIFY(!m_port->isOpened());

    // A stopped thread starts again with a read at once (after the earlier device's answer, which
    // the stopped worker may still have posted).
    QCoreApplication::sendPostedEvents();
    spy.clear();
    m_thread->setDevice(m_device, 60000);
    QVERIFY(spy.wait());
    QVERIFY(spy.last().first().toMap().contains(QStringLiteral("statusText")));
}

void TestPeriodThread::refusedStart_data()
{
    QTest::addColumn<bool>("withDevice");
    QTest::addColumn<int>("period");
    QTest::newRow("zero period") << true << 0;
    QTest::newRow("negative period") << true << -500;
    QTest::newRow("no device") << false << 500;
}

void TestPeriodThread::refusedStart()
{
    QFETCH(bool, withDevice);
    QFETCH(int, period);
    m_thread->setDevice(withDevice ? m_device : nullptr, period);
    QVERIFY(!m_thread->isRunning());
    QVERIFY(!m_device->hasStateFlag(Device::StatePeriodicallyRequested));
    m_thread->stopThread();
    QCOMPARE(m_sim->requestCount(), 0);
}

void TestPeriodThread::mapCarriesItsOwnOutcome_data()
{
    // The GUI thread acts on the polled device right after the poll's read has recorded its
    // outcome and before the map is built.
    QTest::addColumn<bool>("failingRead");
    QTest::addColumn<QString>("logMarker");   // the poll's log line that lets the GUI thread act
    QTest::newRow("a GUI transaction with another status")
        << false << QStringLiteral("Additional status info");
    QTest::newRow("an operation start resetting the error state") << true << QStringLiteral("error ");
}

void TestPeriodThread::mapCarriesItsOwnOutcome()
{
    QFETCH(bool, failingRead);
    QFETCH(QString, logMarker);
    m_sim->setHandler(1, [](HartSimDevice &, const QByteArray &) {
        HartSimResponse response;
        response.deviceStatus = 0x40;
        response.data = QByteArray::fromHex("2041a00000");
        return response;
    });
    if (failingRead) {
        HartSimFaults faults;
        faults.responseCode = 7;
        m_sim->setFaults(faults);
    }
    m_device->setAdditionalStatusText(QStringLiteral("kept from before"));

    QSemaphore guiActed;
    bool triggered = false;
    QThread *testThread = QThread::currentThread();
    connect(m_device, &Device::modbusMessage, this, [&](int, const QString &line) {
        if (QThread::currentThread() == testThread || triggered || !line.contains(logMarker))
            return;
        triggered = true;
        QMetaObject::invokeMethod(this, [&] {
            if (failingRead) {
                m_device->resetState();
            } else {
                m_sim->setFaults(HartSimFaults());
                m_device->readDevice(1);
            }
            guiActed.release();
        }, Qt::QueuedConnection);
        // Long enough for the GUI thread to act unless the device makes it wait.
        guiActed.tryAcquire(1, 1000);
    }, Qt::DirectConnection);

    const QVariantMap map = firstMap();
    QVERIFY(triggered);
    QCOMPARE(map.value(QStringLiteral("statusCode")).toString(), failingRead ? QStringLiteral("07 00") : QStringLiteral("00 00"));
    if (failingRead)
        QVERIFY(map.value(QStringLiteral("errorText")).toString().contains(QLatin1String("***")));
    QTRY_COMPARE(guiActed.available(), 1);
}

// Start, one cycle, a tick and the stop each leave their line at info level.
void TestPeriodThread::logLines()
{
    capturedLines.clear();
    const QtMessageHandler previous = qInstallMessageHandler(captureLine);
    const QVariantMap map = firstMap(60000);
    m_thread->timerPeriod();
    m_thread->stopThread();
    qInstallMessageHandler(previous);
    QVERIFY(!map.isEmpty());

    const QList<QPair<const char *, const char *>> expected{
        {"run", " 60000"}, {"pollOnce", " ### read device ### 60000"}, {"timerPeriod", ""},
        {"stopThread", " ..."}, {"stopThread", " OK"}, {"run", " >>>>>>>>> run OK"}};
    for (const auto &[function, text] : expected) {
        const QRegularExpression line(QStringLiteral("^__DEBUGQT_PREFIX__ 4 \\S+ %1 \\d+ PeriodThread .*%2 *$")
                                          .arg(QLatin1String(function), QRegularExpression::escape(QLatin1String(text))));
        QVERIFY2(!capturedLines.filter(line).isEmpty(), qPrintable(function + QStringLiteral(":") + text));
    }
}

QTEST_MAIN(TestPeriodThread)
#include "tst_periodthread.moc"
