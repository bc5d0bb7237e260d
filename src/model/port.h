#pragma once

#include "hartcomm/hartport.h"
#include "model/serveritem.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QMutex>
#include <QSemaphore>
#include <QVariantMap>

#include <functional>
#include <utility>

class Device;
class Server;

// One serial line with a HART modem: its settings as dynamic properties ("serial_name",
// "baudrate", "parity", "databits", "stopbits", "priority", "close_port_after_transaction"),
// the HART master of the line, the line's transaction semaphore and the devices on the line.
// The properties are set and read in the port's own (GUI) thread; transactions that run in a
// worker read the line settings through lineSettings(), a copy kept under a lock.
class Port : public ServerItem
{
    Q_OBJECT

public:
    explicit Port(ServerItem *parent);
    ~Port() override;

    // The line always runs at these settings, whatever the properties say; a loaded port takes
    // them, and the port editor offers just these.
    static constexpr int LineBaudrate = 1200;
    static constexpr char LineParity = 'O';
    static constexpr int LineDatabits = 8;
    static constexpr int LineStopbits = 1;

    // One permit: one HART transaction at a time on this line, held through holdLine() by the
    // device transaction path and by whoever opens or closes the line outside a transaction.
    QSemaphore transactionSemaphore;

    // The line held by one caller; the permit goes back when the hold goes.
    class LineHold
    {
    public:
        LineHold(LineHold &&other) noexcept
            : m_port(std::exchange(other.m_port, nullptr)), m_across(other.m_across), m_outerAcross(other.m_outerAcross)
        {
        }
        LineHold(const LineHold &) = delete;
        LineHold &operator=(const LineHold &) = delete;
        LineHold &operator=(LineHold &&) = delete;
        ~LineHold();

    private:
        friend class Port;
        explicit LineHold(Port *port) : m_port(port) {}
        Port *m_port;
        bool m_across = false;
        Port *m_outerAcross = nullptr;   // the calling thread's hold across it was inside, if any
    };
    // Waits until no transaction runs on the line; the line is held until the hold goes.
    [[nodiscard]] LineHold holdLine();
    // The same, for a run of the calling thread's transactions and what it makes of their
    // outcome (one poll): their own holds inside it take nothing more, so no transaction of
    // another thread comes in between, and the caller decides with the line in hand.
    [[nodiscard]] LineHold holdLineAcross();
    // The line the calling thread holds, whichever port it is on (the one it took first when it
    // holds more); null when it holds none. While one is held a transaction of that thread is
    // under way, and whatever its event processing runs (a status repaint, the test dialog, a
    // termination, a poller's queued answer) must not wait for a line, nor join a poller that
    // may wait for one.
    static Port *lineHeldHere();
    // Runs call at once when the calling thread (the ports' own) holds no line; otherwise from
    // its event loop once it holds none, after the transaction has fully ended. Dropped when
    // context goes first.
    static void afterLinesReleased(QObject *context, const std::function<void()> &call);
    // The HART master of the line. The port editor sets its timeouts directly.
    HartPort hartPort;

    struct LineSettings
    {
        QString serialName;
        int baudrate = 0;
        QChar parity;
        int databits = 0;
        int stopbits = 0;

        bool operator==(const LineSettings &other) const
        {
            return serialName == other.serialName && baudrate == other.baudrate && parity == other.parity
                   && databits == other.databits && stopbits == other.stopbits;
        }
        bool operator!=(const LineSettings &other) const { return !(*this == other); }
    };
    // The line properties as any thread may read them.
    LineSettings lineSettings() const;

    Server *server() const;
    QString settingsText() const;

    int baudrateIndex(int baudrate = -1) const;
    void setBaudrateIndex(int index);
    int parityIndex(QChar parity = QLatin1Char(' ')) const;
    void setParityIndex(int index);

    static QString protocolText(int protocol);
    static int protocolFromText(const QString &text);

    Device *createDevice(const QString &templateName);
    Device *addDevice(const QString &name, const QString &templateName, int index = -1);
    void removeDevice(const QString &name);
    QList<Device *> devices() const;
    Device *deviceByKey(const QString &name) const;
    QStringList deviceKeys() const { return childNames(); }
    Device *deviceByAddress(int pollingAddress) const;
    bool hasPeriodicallyRequestedDevices() const;
    bool hasDevicesWithStateFlag40() const;
    bool hasDevicesWithDeviceId() const;
    QList<Device *> devicesWithDeviceId() const;
    static QStringList availablePortNames();

    bool isOpened() const;
    // Open and close the line for a caller that holds the transaction semaphore.
    bool openHart();
    void closeHart();
    // Close, or open and close again to try it, once no transaction runs on the line: for
    // callers outside a transaction, while a polling thread may use the line. A close asked
    // while the calling thread holds a line is done once it holds none.
    void closeLine();
    bool checkLine();
    bool setSerialName(const QString &name);
    bool checkUniqSerialName(const QString &name) const;

    // One HART transaction; its outcome is recorded as the port's result and error text.
    bool sendCommand(const QByteArray &address, quint8 command, const QByteArray &data, QByteArray *response);
    // A status byte of the last reply as a signed byte; 0 outside the stored bytes.
    int statusByte(int index) const;

    // Identification. Commands 0, 11, 21 and 73 all answer with the command-0 identity, which
    // fills the caller's map; the caller holds the transaction semaphore.
    bool checkHartDevice(quint8 pollingAddress, QVariantMap *identity);
    bool checkHartDeviceByTag(const QString &tag, QVariantMap *identity);
    bool checkHartDeviceByLongTag(const QString &longTag, QVariantMap *identity);
    bool findDevice(QVariantMap *identity);
    // HART packed ASCII; packing upper-cases the text.
    QByteArray packAscii(const QString &text);
    QString unpackAscii(const QByteArray &packed);

    // HART numbers, most significant byte first.
    static QByteArray getBufferFromInt(int value, int size);
    static int getIntFromBufferByOffset(const QByteArray &buffer, int offset, int size);
    static QByteArray getBufferFromFloat(float value);
    static float getFloatFromBufferByOffset(const QByteArray &buffer, int offset);

    QString key() const override { return name(); }
    QIcon icon() const override { return QIcon(); }
    bool load(const QVariantMap &map) override;
    QVariantMap save() const override;
    int type() const override { return PortKind; }
    ServerItem *createChild() override;

signals:
    void serialNameChanged();
    // The port's own thread has let go of its last line, this one (see lineHeldHere()).
    void lineReleased();

protected:
    bool event(QEvent *event) override;

private:
    bool hasDeviceWithStateFlag(int flag) const;
    bool parseIdentity(const QByteArray &reply, QVariantMap *identity);
    bool refuseTag(const QString &text);

    mutable QMutex m_lineSettingsLock;
    LineSettings m_lineSettings; // the copy of the line properties
};
