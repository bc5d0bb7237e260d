#pragma once

#include "model/serveritem.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMutex>
#include <QReadWriteLock>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <QWaitCondition>

class Device;

// A data point under a device: one value with the time it was set, how the value sits in raw
// device data (type, bit range, address, byte order) and how it is shown (server type, display
// texts, limits, a configuration group). A requesting thread can wait until a worker thread
// has read or written the tag (tagRequesting, waitTagRequested, read, write).
//
// The value and its timestamp are guarded by locks of their own, always taken value first; the
// other fields belong to the thread that owns the tree.
class Tag : public ServerItem
{
    Q_OBJECT

public:
    enum TagDataType { Bit = 0, Int16, UInt16, Int32, UInt32, Float32, Float64 };
    enum TagAccessType { ReadOnly = 0, WriteOnly, ReadWrite };

    static constexpr int MessageLogLimit = 10000;

    explicit Tag(Device *device);
    ~Tag() override;

    QString key() const override;
    QIcon icon() const override { return QIcon(); }
    bool load(const QVariantMap &map) override;
    QVariantMap save() const override;
    int type() const override { return TagKind; }
    ServerItem *createChild() override { return nullptr; }

    // Value
    QVariant value() const;
    void setValue(const QVariant &value);
    QDateTime timestamp() const;
    void setTimestamp(const QDateTime &timestamp);
    void requestWrite(const QVariant &value);
    QString valueText() const;
    bool isOutOfLimits() const;
    bool isNanOrInf() const;

    // Type codes and their texts
    static QString deviceTypeText(int code);
    static QString serverTypeText(int code);
    static QString accessTypeText(int code, bool shortForm);
    static int deviceTypeFromText(const QString &text);
    static int serverTypeFromText(const QString &text);
    static int accessTypeFromText(const QString &text);
    static int dataTypeSize(int code);

    int deviceType() const { return m_deviceType; }
    int serverType() const { return m_serverType; }
    int accessType() const { return m_accessType; }

    // Bit field that read() cuts out of the raw value; bounds stay within the device type.
    bool useBitExtraction() const { return m_useBitExtraction; }
    int extractBitFrom() const { return m_extractBitFrom; }
    int extractBitTo() const { return m_extractBitTo; }
    void setExtractBitFrom(int bit);
    void setExtractBitTo(int bit);

    // The bytes read() decodes, least significant byte first.
    QByteArray rawData() const { return m_rawData; }
    void setRawData(const QByteArray &data) { m_rawData = data; }

    // Address, presentation and group
    QString address() const { return m_address; }
    unsigned int addressValue() const;
    QVariantList limits() const { return m_limits; }
    QVariantMap values() const { return m_values; }
    QStringList configGroup() const { return m_configGroup; }
    QString configGroupFirst() const;
    QString configGroupSecond() const;
    bool isChannel() const;
    QList<Tag *> tags();
    QList<Tag *> channels();
    QStringList messageLog() const { return m_messageLog; }

    // Owning device
    Device *device() const;
    void setDevice(ServerItem *item);
    int deviceProcessingTime() const;

    // Request handshake and transfer. read() and write() are called while holding the request
    // lock taken by tagRequesting(); they wake the waiters and release it on every path.
    void tagRequesting();
    void waitTagRequested();
    QVariant read();
    bool write(const QVariant &value);

signals:
    void valueChanged(const QVariant &value);
    void writeRequest();
    void deleting(QObject *object);

public slots:
    void appendModbusMessage(const QString &line);

private:
    int lastBit() const;
    QVariant decodeRawData() const;
    void finishTransfer(int resultCode);

    int m_deviceType = Float32;
    int m_serverType = Float32;
    int m_accessType = ReadOnly;
    QVariant m_value;
    QDateTime m_timestamp;
    QByteArray m_rawData;
    mutable QReadWriteLock m_valueLock;
    mutable QReadWriteLock m_timestampLock;
    QString m_address = QStringLiteral("0");
    int m_transferDelay = 1;
    QStringList m_messageLog;
    bool m_useBitExtraction = false;
    int m_extractBitFrom = 0;
    int m_extractBitTo = 0;
    QVariantList m_limits;
    QVariantMap m_values;
    QStringList m_configGroup;
    QWaitCondition m_requestCondition;
    QMutex m_requestLock;
    // The item the tag reports to; it starts as the parent item and only setDevice changes it.
    ServerItem *m_deviceItem;
};
