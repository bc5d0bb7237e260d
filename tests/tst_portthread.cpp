#include "hartsimframe.h"
#include "hartsimulator.h"
#include "hartcomm/portthread.h"
#include "core/utils.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QtTest>

#include <memory>

namespace {

constexpr int requestTimeout = 200;
constexpr int responseTimeout = 370;
constexpr int byteTimeout = 50;

// A short-frame request from the primary master, built by hand.
QByteArray requestFrame(quint8 pollingAddress, quint8 command, int preambles = 5)
{
    QByteArray body;
    body.append(char(0x02));
    body.append(char(0x80 | pollingAddress));
    body.append(char(command));
    body.append(char(0));
    return QByteArray(preambles, char(0xFF)) + body
           + char(HartSimFrame::checkByte(body, 0, int(body.size())));
}

QByteArray identityReply(const HartSimDevice &device)
{
    return HartSimFrame::buildReply(device.replyPreambles, QByteArray(1, char(0x80 | device.pollingAddress)), 0, 0,
                                    0, device.identityData());
}

void runJob(PortThread &worker, const QString &portName, const QByteArray &request = QByteArray(),
            int response = responseTimeout)
{
    worker.transaction(portName, requestTimeout, response, byteTimeout, request);
    worker.waitResponse();
}

} // namespace

class TestPortThread : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void turnaroundIsTruncated_data();
    void turnaroundIsTruncated();
    void opensClosesAndReopensUnderAnotherName();
    void failedOpenEndsThreadAndNextOpenRetries();
    void requestIsAnswered();
    void replyChunks_data();
    void replyChunks();
    void staleInputIsDropped();
    void noAnswerKeepsLineOpen();
    void firstJobRequestIsSentAfterOpen();
    void requestNotWrittenReopensPort();
    void replyIsBounded_data();
    void replyIsBounded();
    void lateReplyWithinResponseTimeoutIsTaken();
    void closeFromAnotherThreadWaitsForTheRequest();
    void destructorClosesPort();
    void hugeResponseTimeoutIsCut();
    void negativeTimeoutsStayBounded();

private:
    std::unique_ptr<HartSimulator> sim;
    std::unique_ptr<PortThread> worker;
    HartSimDevice device0{0};
    HartSimDevice device1{1, 0x26, 0x4F, QByteArray::fromHex("654321")};
};

void TestPortThread::init()
{
    sim = std::make_unique<HartSimulator>();
    QVERIFY(sim->isValid());
    sim->addDevice(device0);
    sim->addDevice(device1);
    worker = std::make_unique<PortThread>();
}

void TestPortThread::cleanup()
{
    worker.reset();
    sim.reset();
}

void TestPortThread::turnaroundIsTruncated_data()
{
    QTest::addColumn<int>("frameBytes");
    QTest::addColumn<int>("pauseMs");
    QTest::newRow("10 bytes, 141.525 ms") << 10 << 141;
    QTest::newRow("11 bytes, 150.6775 ms") << 11 << 150;
    QTest::newRow("15 bytes") << 15 << 187;
    QTest::newRow("20 bytes") << 20 << 233;
    QTest::newRow("25 bytes, 278.8125 ms") << 25 << 278;
}

void TestPortThread::turnaroundIsTruncated()
{
    QFETCH(int, frameBytes);
    QFETCH(int, pauseMs);
    QCOMPARE(PortThread::turnaroundMs(frameBytes), pauseMs);
}

void TestPortThread::opensClosesAndReopensUnderAnotherName()
{
    HartSimulator other;
    other.addDevice(device0);

    runJob(*worker, sim->portName());
    QCOMPARE(worker->errorCode, 0);
    QVERIFY(worker->portOpen);

    runJob(*worker, other.portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(other.requestCount(), 1);
    QCOMPARE(sim->requestCount(), 0);

    runJob(*worker, QString());
    QCOMPARE(worker->errorCode, 0);
    QVERIFY(!worker->portOpen);

    // A second close to a worker without a port succeeds.
    runJob(*worker, QString());
    QCOMPARE(worker->errorCode, 0);
    QVERIFY(!worker->portOpen);
}

void TestPortThread::failedOpenEndsThreadAndNextOpenRetries()
{
    runJob(*worker, QStringLiteral("/dev/tenvara-no-such-port"));
    QVERIFY(worker->errorCode != 0);
    QVERIFY(!worker->errorText.isEmpty());
    QVERIFY(!worker->portOpen);
    QTRY_VERIFY(!worker->isRunning());

    runJob(*worker, sim->portName());
    QCOMPARE(worker->errorCode, 0);
    QVERIFY(worker->errorText.isEmpty());
    QVERIFY(worker->portOpen);

    // Posted right after a failed open, while the worker may still be on its way out.
    runJob(*worker, QStringLiteral("/dev/tenvara-no-such-port"));
    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(worker->reply, identityReply(device0));
}

void TestPortThread::requestIsAnswered()
{
    runJob(*worker, sim->portName());
    const QByteArray request = requestFrame(1, 0, 7);
    runJob(*worker, sim->portName(), request);

    QCOMPARE(worker->errorCode, 0);
    QVERIFY(worker->errorText.isEmpty());
    QCOMPARE(worker->reply, identityReply(device1));
    QVERIFY(worker->txLogLine.contains(QStringLiteral(" TX (")));
    QVERIFY(worker->txLogLine.endsWith(QStringLiteral("): ff ff ff ff ff ff ff 02 81 00 00 83")));
    QVERIFY(worker->rxLogLine.contains(QStringLiteral(" RX (")));
    QVERIFY(worker->rxLogLine.endsWith(QStringLiteral("): ") + Utils::bufferToHex(identityReply(device1))));

    const QList<HartSimRequest> seen = sim->requests();
    QCOMPARE(seen.size(), 1);
    QCOMPARE(seen.first().preambleCount, 7);
    QVERIFY(seen.first().checksumOk);
}

void TestPortThread::replyChunks_data()
{
    QTest::addColumn<int>("chunkSize");
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<bool>("whole");
    QTest::newRow("reply in chunks with short gaps is joined") << 6 << 15 << true;
    QTest::newRow("gap longer than the byte timeout ends the reply") << 10 << 250 << false;
}

void TestPortThread::replyChunks()
{
    QFETCH(int, chunkSize);
    QFETCH(int, gapMs);
    QFETCH(bool, whole);

    HartSimFaults faults;
    faults.chunkSize = chunkSize;
    faults.chunkGapMs = gapMs;
    sim->setFaults(faults);

    runJob(*worker, sim->portName());
    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 0);
    const QByteArray expected = identityReply(device0);
    QCOMPARE(worker->reply, whole ? expected : expected.left(chunkSize));
}

void TestPortThread::staleInputIsDropped()
{
    runJob(*worker, sim->portName());
    sim->inject(QByteArray::fromHex("ffff06800000" "123456"));
    QTRY_VERIFY(sim->pendingInput() > 0);

    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(worker->reply, identityReply(device0));
}

void TestPortThread::noAnswerKeepsLineOpen()
{
    runJob(*worker, sim->portName());
    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QVERIFY(!worker->reply.isEmpty());

    HartSimFaults faults;
    faults.silent = true;
    sim->setFaults(faults);
    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 12);
    QCOMPARE(worker->errorText, QStringLiteral("Response timeout (370ms)"));
    QVERIFY(!worker->txLogLine.isEmpty());
    QVERIFY(worker->rxLogLine.isEmpty());
    QVERIFY2(worker->reply.isEmpty(), "a failed request must not leave the previous answer in reply");
    QVERIFY(worker->portOpen);

    sim->setFaults(HartSimFaults());
    runJob(*worker, sim->portName(), requestFrame(1, 0));
    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(worker->reply, identityReply(device1));
}

void TestPortThread::firstJobRequestIsSentAfterOpen()
{
    QElapsedTimer clock;
    clock.start();
    const QByteArray request = requestFrame(0, 0);
    runJob(*worker, sim->portName(), request);

    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(sim->requestCount(), 1);
    QCOMPARE(worker->reply, identityReply(device0));
    QVERIFY(worker->portOpen);
    // Break, pause after the open, pause before the write and the turnaround all passed.
    QVERIFY(clock.elapsed() >= 50 + 70 + 5 + PortThread::turnaroundMs(int(request.size())));
}

void TestPortThread::requestNotWrittenReopensPort()
{
    runJob(*worker, sim->portName());
    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 0);

    sim->setProgramOutputStopped(true);
    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 12);
    QCOMPARE(worker->errorText, QStringLiteral("Request timeout (200ms)"));
    QVERIFY(worker->txLogLine.isEmpty());
    QVERIFY(worker->rxLogLine.isEmpty());
    QVERIFY(worker->reply.isEmpty());
    sim->setProgramOutputStopped(false);
    sim->clearRequests();

    QElapsedTimer clock;
    clock.start();
    const QByteArray request = requestFrame(1, 0);
    runJob(*worker, sim->portName(), request);
    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(worker->reply, identityReply(device1));
    QCOMPARE(sim->requestCount(), 1);
    QVERIFY2(clock.elapsed() >= 50 + 70 + 5 + PortThread::turnaroundMs(int(request.size())),
             "the port is reopened with a break before the frame goes out");
}

void TestPortThread::replyIsBounded_data()
{
    QTest::addColumn<int>("gapMs");
    QTest::addColumn<int>("chunk");
    QTest::newRow("line that trickles ends at the time limit") << 10 << 1;
    QTest::newRow("line that floods ends at the length limit") << 5 << 64;
}

void TestPortThread::replyIsBounded()
{
    QFETCH(int, gapMs);
    QFETCH(int, chunk);

    HartSimFaults faults;
    faults.babbleMs = 8000;
    faults.babbleGapMs = gapMs;
    faults.babbleChunk = chunk;
    sim->setFaults(faults);

    runJob(*worker, sim->portName());
    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 0);
    QVERIFY(worker->reply.startsWith(identityReply(device0)));
    QVERIFY(worker->reply.size() <= PortThread::replyLengthLimit);
}

void TestPortThread::lateReplyWithinResponseTimeoutIsTaken()
{
    runJob(*worker, sim->portName());

    // The device answers after the least wait but inside the response timeout: the poster waits
    // as long as the job may take and gets the reply.
    HartSimFaults faults;
    faults.replyDelayMs = PortThread::responseWaitMs + 1000;
    sim->setFaults(faults);
    runJob(*worker, sim->portName(), requestFrame(0, 0), PortThread::responseWaitMs + 3000);
    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(worker->reply, identityReply(device0));

    sim->setFaults(HartSimFaults());
    runJob(*worker, sim->portName(), requestFrame(1, 0));
    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(worker->reply, identityReply(device1));
    QCOMPARE(sim->requestCount(), 2);
}

void TestPortThread::closeFromAnotherThreadWaitsForTheRequest()
{
    runJob(*worker, sim->portName());
    HartSimFaults faults;
    faults.replyDelayMs = 200;
    sim->setFaults(faults);
    PortThread::Outcome polled;
    std::unique_ptr<QThread> poller(QThread::create([&] {
        worker->transaction(sim->portName(), requestTimeout, responseTimeout, byteTimeout, requestFrame(0, 0));
        polled = worker->waitResponse();
    }));
    poller->start();
    QTRY_COMPARE(sim->requestCount(), 1);
    runJob(*worker, QString());   // the window closes the line while the poll waits for its reply
    QVERIFY(poller->wait(PortThread::responseWaitMs));
    QCOMPARE(polled.errorCode, 0);
    QCOMPARE(polled.reply, identityReply(device0));
    QVERIFY(!worker->portOpen);
}

void TestPortThread::destructorClosesPort()
{
    runJob(*worker, sim->portName());
    QVERIFY(worker->portOpen);
    worker.reset();

    // The port was closed and released: another user can open it.
    QSerialPort port(sim->portName());
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
}

void TestPortThread::hugeResponseTimeoutIsCut()
{
    runJob(*worker, sim->portName());
    HartSimFaults faults;
    faults.silent = true;
    sim->setFaults(faults);
    runJob(*worker, sim->portName(), requestFrame(0, 0), 600000);
    QCOMPARE(worker->errorCode, 12);
    QCOMPARE(worker->errorText, QStringLiteral("Response timeout (%1ms)").arg(PortThread::maxResponseTimeoutMs));

    // The job is over when its poster has the result, so closing waits for nothing.
    worker.reset();
    QSerialPort port(sim->portName());
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
}

void TestPortThread::negativeTimeoutsStayBounded()
{
    // QSerialPort waits forever on a negative timeout; the worker takes it as 0, so a silent line
    // still ends the job with the timeout code well inside the poster's wait.
    runJob(*worker, sim->portName());
    HartSimFaults faults;
    faults.silent = true;
    sim->setFaults(faults);
    QElapsedTimer clock;
    clock.start();
    worker->transaction(sim->portName(), -1, -1, -1, requestFrame(0, 0));
    worker->waitResponse();
    QVERIFY2(clock.elapsed() < PortThread::responseWaitMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(worker->errorCode, 12);
    QVERIFY(worker->portOpen);

    sim->setFaults(HartSimFaults());
    runJob(*worker, sim->portName(), requestFrame(0, 0));
    QCOMPARE(worker->errorCode, 0);
    QCOMPARE(worker->reply, identityReply(device0));
}

QTEST_GUILESS_MAIN(TestPortThread)
#include "tst_portthread.moc"
