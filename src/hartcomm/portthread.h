#pragma once

#include <QByteArray>
#include <QMutex>
#include <QString>
#include <QThread>
#include <QWaitCondition>

#include <atomic>

class QSerialPort;

// The worker that owns the serial port of one HART line. It opens the port (1200 baud, odd
// parity, 8 data bits, 1 stop bit), closes it, and runs one request/reply exchange at a time
// with the line's pauses and timeouts; building and checking frames is the owner's business.
//
// The owner posts one job with transaction() and collects it with waitResponse() on the same
// thread; then it reads the result fields, which the worker fills only for the job being
// awaited. Every job carries a sequence number, so a wake is never lost and a result that comes
// in after its poster gave up is thrown away instead of being taken for a later job's.
class PortThread : public QThread
{
    Q_OBJECT

public:
    explicit PortThread(QObject *parent = nullptr);
    ~PortThread() override;

    // An empty portName closes the port, an empty request opens portName, anything else is a
    // request. Returns with the poster and response locks held until waitResponse(); another
    // thread's transaction() waits until then.
    void transaction(const QString &portName, int requestTimeout, int responseTimeout, int byteTimeout,
                     const QByteArray &request);
    // The result of a job, as its poster collects it.
    struct Outcome
    {
        QByteArray reply;
        QString txLogLine;
        QString rxLogLine;
        int errorCode = 0;
        QString errorText;
    };
    // Waits until the job is done, at most as long as the job may take (jobTimeLimitMs); a wait
    // that runs out is a failure with the timeout code and the response-timeout text. Returns
    // the result; the fields below hold it too until another thread posts a job.
    Outcome waitResponse();
    QString buildLogString(const QString &direction, const QByteArray &data);

    // The pause after a frame of frameBytes bytes has left, for the line to turn around.
    static int turnaroundMs(int frameBytes);

    static constexpr int timeoutErrorCode = 12;
    // The least wait for a job; longer timeouts make the wait longer (jobTimeLimitMs).
    static constexpr int responseWaitMs = 5000;
    // A reply ends at the first pause longer than the byte timeout, and at the latest after this
    // many bytes or this long after its first byte.
    static constexpr int replyLengthLimit = 512;
    static constexpr int replyTimeLimitMs = 2500;
    // The longest timeouts a job takes, as the port editor allows them; longer ones are cut.
    static constexpr int maxRequestTimeoutMs = 5000;
    static constexpr int maxResponseTimeoutMs = 9000;
    static constexpr int maxByteTimeoutMs = 1000;

    // The longest a job with these timeouts and a request frame of frameBytes bytes may take,
    // (re)opening the port included, and never less than responseWaitMs.
    static int jobTimeLimitMs(int requestTimeout, int responseTimeout, int frameBytes);

    // Results of the last collected job; read them after waitResponse().
    QByteArray reply;    // empty unless the last request was answered
    QString txLogLine;
    QString rxLogLine;
    int errorCode = 0;   // 0 success, 12 timeout, otherwise the serial port's error code
    QString errorText;
    std::atomic<bool> portOpen{false};   // may be read at any time

protected:
    void run() override;

private:
    struct Job
    {
        quint64 sequence = 0;
        QString portName;
        QByteArray request;
        int requestTimeout = 0;
        int responseTimeout = 0;
        int byteTimeout = 0;
    };
    struct Result
    {
        int errorCode = 0;
        QString errorText;
        bool isRequest = false;   // reply and log lines belong to this job
        bool openFailed = false;
        QByteArray reply;
        QString txLogLine;
        QString rxLogLine;
    };

    bool takeJob(Job &job);
    bool moreJobsOrEnd();
    Result doJob(QSerialPort &port, QString &currentName, bool portChange, const Job &job);
    bool openPort(QSerialPort &port, const QString &name, Result &result);
    void exchange(QSerialPort &port, QString &currentName, const Job &job, Result &result);
    void closePort(QSerialPort &port);
    void publish(quint64 sequence, const Result &result);

    // Job fields, guarded by requestMutex
    QString portName;
    QByteArray request;
    int responseTimeout = 0;
    int requestTimeout = 0;
    int byteTimeout = 0;
    quint64 postedJob = 0;
    quint64 takenJob = 0;
    bool workerEnding = false;   // the loop has ended and looks at no further job
    bool quit = false;
    QMutex requestMutex;
    QWaitCondition requestCondition;

    // Worker-only phase durations for buildLogString
    int txTime = 0;
    int rxTime = 0;

    // Held by the thread that posted a job until it has collected it.
    QMutex posterMutex;
    // Hand-over of results, guarded by responseMutex
    QMutex responseMutex;
    QWaitCondition responseCondition;
    quint64 awaitedJob = 0;      // the job whose poster still waits; 0 when none
    bool responseReady = false;
    int awaitedResponseTimeout = 0;
    int awaitedWaitMs = responseWaitMs;
};
