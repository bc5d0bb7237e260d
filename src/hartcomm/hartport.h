#pragma once

#include "hartcomm/portthread.h"

#include <QByteArray>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class HartCommand;

// The HART master of one serial line. It builds a request frame, has its worker write it and
// collect the answer, parses and checks the answer, and hands back the reply data with an error
// code, an error text, the status bytes with their texts and the traffic log lines. Operations
// block the calling thread until the worker is done; one operation at a time per port is the
// caller's duty. The timeouts are the properties "request_timeout", "response_timeout" and
// "byte_timeout" (milliseconds), set and read in the port's own (GUI) thread only; open and
// request take a copy of them that is kept under a lock, since they run in worker threads too.
//
// Error codes: 0 success; above 0 the worker's failure (the serial port's error code, or 12 for
// a timeout); -1 no valid reply frame; -2 a reply that does not answer the request, or an
// identity reply that is too short, or a request whose frame cannot be built (more data bytes
// than the byte count can hold; nothing is sent); -3 a status that reports an error.
class HartPort : public QObject
{
    Q_OBJECT

public:
    explicit HartPort(QObject *parent = nullptr);
    HartPort(QObject *parent, const QString &portName);
    ~HartPort() override;

    void setPortName(const QString &name);
    bool isOpen() const;
    bool open();
    void close();

    bool sendRequest();
    bool syncFromThread();
    bool sendCommand(HartCommand &request, QByteArray &replyData);
    bool sendShortFrameCommand(quint8 pollingAddress, quint8 command, const QByteArray &data, QByteArray &replyData,
                               bool primaryMaster);
    bool sendLongFrameCommand(const QByteArray &address, quint8 command, const QByteArray &data,
                              QByteArray &replyData, bool primaryMaster);
    bool sendZeroCommand(quint8 pollingAddress, QByteArray &replyData, bool primaryMaster);

    // Decodes the data of an identity reply (commands 0, 11, 21, 73) into map, and raises the
    // preamble count to the device's minimum. False, with code -2, for fewer than 12 bytes.
    bool parseCommandZeroResponse(const QByteArray &data, QVariantMap &map);

    // Tags, descriptors and messages travel as packed ASCII: six bits per character, four
    // characters in three bytes. Packing neither upper-cases nor pads; at most 32 characters, an
    // empty result means refused. Unpacking takes at most 24 bytes and drops trailing blanks.
    QByteArray packAscii(const QString &text) const;
    QString unpackAscii(const QByteArray &bytes) const;

    // Results of the last operation, read by the owner right after it.
    QByteArray request;     // the last request frame, preambles through check byte
    QByteArray reply;       // the bytes received for it
    QString txLogLine;
    QString rxLogLine;
    QString portName;
    int errorCode = 0;
    QString errorText;
    QByteArray status;      // response code and device status of the last checked reply
    QStringList statusTexts;
    int preamblesCount = 5;         // sent with ordinary requests; follows identity replies
    int initialPreamblesCount = 10; // sent with the identity commands 0, 11, 21 and 73

protected:
    bool event(QEvent *event) override;

private:
    struct Timeouts
    {
        int request = 0;
        int response = 0;
        int byte = 0;
    };

    void adaptPreambles(const HartCommand &request, const HartCommand &reply);
    Timeouts timeouts() const;

    mutable QMutex m_timeoutsLock;
    Timeouts m_timeouts; // the copy of the timeout properties

    PortThread portThread;
};
