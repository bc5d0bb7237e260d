#include "hartcomm/portthread.h"

#include "core/debugqtstream.h"
#include "core/utils.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QSerialPort>
#include <QTime>

#include <limits>

namespace {

constexpr int breakMs = 50;
constexpr int pauseAfterOpenMs = 70;
constexpr int pauseBeforeWriteMs = 5;
constexpr qint64 readChunk = 128;
constexpr qint64 readBufferSize = 256;
// Room for opening the port and for a loaded machine's scheduling on top of a job's pauses.
constexpr int jobSlackMs = 1000;

// Some line settings cannot be made on every device (a pseudo-terminal has no modem lines);
// the line still works, so a failure is only worth a warning.
void warnUnless(bool ok, const char *setting, const QSerialPort &port)
{
    if (!ok)
        DEBUGQT_LOG_STATIC(2) << "*** Serial port" << port.portName() << setting << "failed -" << port.errorString();
}

} // namespace

PortThread::PortThread(QObject *parent)
    : QThread(parent)
{
}

PortThread::~PortThread()
{
    DEBUGQT_LOG(4) << "quit port thread...";
    {
        QMutexLocker locker(&requestMutex);
        quit = true;
        requestCondition.wakeAll();
    }
    // Every job is bounded in time, so the worker always comes back.
    wait();
    DEBUGQT_LOG(4) << "OK";
}

void PortThread::transaction(const QString &portName, int requestTimeout, int responseTimeout, int byteTimeout,
                             const QByteArray &request)
{
    if (portName.isEmpty())
        DEBUGQT_LOG(4) << "close port";
    else if (request.isEmpty())
        DEBUGQT_LOG(4) << "open port";
    else
        DEBUGQT_LOG(4) << "request data";

    // One poster at a time: a second thread (a close from the window while a poll waits for its
    // reply) waits here until the first has collected its job, so neither abandons the other's.
    posterMutex.lock();
    responseMutex.lock();
    responseReady = false;
    // Nothing of an earlier job may pass for this one's result.
    errorCode = 0;
    errorText.clear();
    reply.clear();
    txLogLine.clear();
    rxLogLine.clear();
    awaitedResponseTimeout = qBound(0, responseTimeout, maxResponseTimeoutMs);
    awaitedWaitMs = jobTimeLimitMs(requestTimeout, responseTimeout, int(request.size()));

    QMutexLocker locker(&requestMutex);
    this->portName = portName;
    this->requestTimeout = requestTimeout;
    this->responseTimeout = responseTimeout;
    this->byteTimeout = byteTimeout;
    this->request = request;
    awaitedJob = ++postedJob;

    // A worker that ended after a failed open looks at no further job; it holds no lock on its
    // way out, so join it and start a fresh loop for this job.
    if (workerEnding) {
        wait();
        workerEnding = false;
    }
    if (!isRunning())
        start(QThread::InheritPriority);
    else
        requestCondition.wakeOne();
}

PortThread::Outcome PortThread::waitResponse()
{
    DEBUGQT_LOG(4) << "wait response ...";
    const QDeadlineTimer deadline(awaitedWaitMs);
    while (!responseReady && responseCondition.wait(&responseMutex, deadline)) {
    }
    const bool rv = responseReady;
    if (!responseReady) {
        // The worker is still busy with this job; its result will be discarded when it comes.
        errorCode = timeoutErrorCode;
        errorText = tr("Response timeout (%1ms)").arg(awaitedResponseTimeout);
        reply.clear();
        txLogLine.clear();
        rxLogLine.clear();
    }
    awaitedJob = 0;
    // Taken before the poster lock goes: the next poster starts by clearing the fields.
    const Outcome outcome{reply, txLogLine, rxLogLine, errorCode, errorText};
    responseMutex.unlock();
    posterMutex.unlock();
    DEBUGQT_LOG(4) << "response unlock (rv: " << rv << " )";
    return outcome;
}

QString PortThread::buildLogString(const QString &direction, const QByteArray &data)
{
    const int ms = direction == QLatin1String("TX") ? txTime : rxTime;
    const QString line = QStringLiteral("%1 %2 (%3 ms): ")
                             .arg(QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz")), direction)
                             .arg(ms)
                         + Utils::bufferToHex(data);
    DEBUGQT_LOG(4) << line;
    return line;
}

int PortThread::turnaroundMs(int frameBytes)
{
    return int(frameBytes * 9.1525 + 50);
}

int PortThread::jobTimeLimitMs(int requestTimeout, int responseTimeout, int frameBytes)
{
    const qint64 longest = qint64(breakMs) + pauseAfterOpenMs + pauseBeforeWriteMs
                           + qBound(0, requestTimeout, maxRequestTimeoutMs) + turnaroundMs(frameBytes)
                           + qBound(0, responseTimeout, maxResponseTimeoutMs) + replyTimeLimitMs + jobSlackMs;
    return int(qBound(qint64(responseWaitMs), longest, qint64(std::numeric_limits<int>::max())));
}

void PortThread::run()
{
    QSerialPort port;   // created, used and destroyed by this thread alone
    QString currentName;
    bool firstJob = true;
    Job job;
    while (takeJob(job)) {
        // At the loop start an empty name is no change: there is no port to close.
        const bool portChange = firstJob ? !job.portName.isEmpty()
                                         : (job.portName.isEmpty() || job.portName != currentName);
        firstJob = false;
        const Result result = doJob(port, currentName, portChange, job);
        publish(job.sequence, result);
        if (result.openFailed && !moreJobsOrEnd())
            break;
    }
    closePort(port);
    DEBUGQT_LOG(4) << ">>> run completed.";
}

bool PortThread::takeJob(Job &job)
{
    QMutexLocker locker(&requestMutex);
    // Waiting for a job newer than the last one taken: a job posted while the worker was busy is
    // already pending and is taken without a wake.
    while (!quit && postedJob == takenJob)
        requestCondition.wait(&requestMutex);
    if (quit) {
        workerEnding = true;
        return false;
    }
    takenJob = postedJob;
    job.sequence = postedJob;
    job.portName = portName;
    job.request = request;
    // A negative timeout means "forever" to QSerialPort, and a huge one nearly so: either would
    // hold the worker past its poster's wait and keep a closing program waiting.
    job.requestTimeout = qBound(0, requestTimeout, maxRequestTimeoutMs);
    job.responseTimeout = qBound(0, responseTimeout, maxResponseTimeoutMs);
    job.byteTimeout = qBound(0, byteTimeout, maxByteTimeoutMs);
    return true;
}

bool PortThread::moreJobsOrEnd()
{
    QMutexLocker locker(&requestMutex);
    if (!quit && postedJob != takenJob)
        return true;
    workerEnding = true;
    return false;
}

PortThread::Result PortThread::doJob(QSerialPort &port, QString &currentName, bool portChange, const Job &job)
{
    Result result;
    result.isRequest = !job.request.isEmpty();
    if (portChange) {
        closePort(port);
        currentName = job.portName;
        if (currentName.isEmpty()) {
            DEBUGQT_LOG(4) << "*** Serial port close:" << !port.isOpen();
            return result;
        }
        if (!openPort(port, currentName, result)) {
            // The next job tries the open again, whatever its port name.
            currentName.clear();
            result.openFailed = true;
            return result;
        }
    }
    // A request that needed the port (re)opened is sent after the break and pause.
    if (result.isRequest)
        exchange(port, currentName, job, result);
    return result;
}

bool PortThread::openPort(QSerialPort &port, const QString &name, Result &result)
{
    port.setPortName(name);
    if (!port.open(QIODevice::ReadWrite)) {
        DEBUGQT_LOG(4) << "*** Serial port" << name << "open error - " << port.errorString();
        result.errorCode = int(port.error());
        result.errorText = port.errorString();
        return false;
    }
    warnUnless(port.setBaudRate(1200, QSerialPort::AllDirections), "baud rate", port);
    warnUnless(port.setParity(QSerialPort::OddParity), "parity", port);
    warnUnless(port.setDataBits(QSerialPort::Data8), "data bits", port);
    warnUnless(port.setStopBits(QSerialPort::OneStop), "stop bits", port);
    warnUnless(port.setFlowControl(QSerialPort::NoFlowControl), "flow control", port);
    port.setReadBufferSize(readBufferSize);
    portOpen = true;
    DEBUGQT_LOG(4) << "*** Serial port open:" << port.isOpen();

    warnUnless(port.setBreakEnabled(true), "break", port);
    Utils::msleep(breakMs);
    warnUnless(port.setBreakEnabled(false), "break end", port);
    port.clear(QSerialPort::AllDirections);
    Utils::msleep(pauseAfterOpenMs);
    return true;
}

void PortThread::exchange(QSerialPort &port, QString &currentName, const Job &job, Result &result)
{
    txTime = 0;
    rxTime = 0;
    port.clearError();
    // Drop what waits from earlier traffic. Without an event loop on this thread bytesAvailable()
    // cannot see what the kernel holds, so the input is cleared every time.
    port.clear(QSerialPort::AllDirections);
    Utils::msleep(pauseBeforeWriteMs);

    QElapsedTimer txClock;
    txClock.start();
    if (port.write(job.request) != job.request.size()) {
        DEBUGQT_LOG(4) << "*** Serial port" << currentName << "write error - " << port.errorString();
        result.errorCode = port.error() != QSerialPort::NoError ? int(port.error()) : int(QSerialPort::WriteError);
        result.errorText = tr("Write error %1, error code: %2 - %3")
                               .arg(currentName)
                               .arg(result.errorCode)
                               .arg(port.errorString());
        return;
    }
    if (!port.waitForBytesWritten(job.requestTimeout)) {
        DEBUGQT_LOG(4) << QStringLiteral("Request timeout (%1ms)").arg(job.requestTimeout);
        result.errorCode = timeoutErrorCode;
        result.errorText = tr("Request timeout (%1ms)").arg(job.requestTimeout);
        // The next job closes and reopens the port, even under the same name.
        currentName.clear();
        return;
    }
    port.flush();
    Utils::msleep(quint32(turnaroundMs(int(job.request.size()))));
    txTime = int(txClock.elapsed());
    result.txLogLine = buildLogString(QStringLiteral("TX"), job.request);

    QElapsedTimer rxClock;
    rxClock.start();
    if (!port.waitForReadyRead(job.responseTimeout)) {
        DEBUGQT_LOG(4) << QStringLiteral("Response timeout (%1ms)").arg(job.responseTimeout);
        result.errorCode = timeoutErrorCode;
        result.errorText = tr("Response timeout (%1ms)").arg(job.responseTimeout);
        return;
    }

    // The reply ends at the first pause longer than the byte timeout, or at the length and time
    // limits, so that a line that never falls quiet cannot keep the worker.
    QByteArray data = port.read(readChunk);
    const QDeadlineTimer replyLimit(replyTimeLimitMs);
    while (data.size() < replyLengthLimit && !replyLimit.hasExpired()) {
        // Bytes already taken from the line into the port's buffer do not wake waitForReadyRead.
        if (port.bytesAvailable() == 0
            && !port.waitForReadyRead(int(qMin<qint64>(job.byteTimeout, replyLimit.remainingTime()))))
            break;
        data += port.read(qMin<qint64>(readChunk, replyLengthLimit - data.size()));
    }
    rxTime = int(rxClock.elapsed());
    result.rxLogLine = buildLogString(QStringLiteral("RX"), data);
    port.clearError();
    result.reply = data;
}

void PortThread::closePort(QSerialPort &port)
{
    if (port.isOpen()) {
        port.clear(QSerialPort::AllDirections);
        port.close();
    }
    portOpen = false;
}

void PortThread::publish(quint64 sequence, const Result &result)
{
    QMutexLocker locker(&responseMutex);
    if (sequence != awaitedJob) {
        DEBUGQT_LOG(2) << "*** result of an abandoned job discarded";
        return;
    }
    errorCode = result.errorCode;
    errorText = result.errorText;
    if (result.isRequest) {
        reply = result.reply;
        txLogLine = result.txLogLine;
        rxLogLine = result.rxLogLine;
    }
    responseReady = true;
    responseCondition.wakeOne();
}
