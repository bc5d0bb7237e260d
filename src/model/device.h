#pragma once

#include "model/port.h"
#include "model/serveritem.h"

#include <QByteArray>
#include <QChar>
#include <QMutexLocker>
#include <QRecursiveMutex>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <atomic>


// One HART field instrument on a serial line: its settings as dynamic properties, its identity,
// its template name, the parameter map that HART reads fill and HART writes draw on, the
// value-state flags shown as marks in the tree, and the log of its HART traffic.
//
// The GUI thread and the polling threads use one device at the same time. The parameter map,
// the log, the status fields and the polling address are guarded by the device's own lock, taken
// only around single reads and changes (never across a HART transaction); the value-state flags
// are atomic, and the name is guarded by the tree item.
class Device : public ServerItem
{
    Q_OBJECT

public:
    enum StateFlag {
        StateInitial = 0x01,
        StateChanged = 0x02,
        StateReadFromDevice = 0x04,
        StateSavedInDevice = 0x08,
        StatePeriodicallyRequested = 0x10,
        StateFlag20 = 0x20,
        StateFlag40 = 0x40
    };

    static constexpr int SlotCount = 8;
    static constexpr int DefaultLogLineLimit = 10000;

    explicit Device(ServerItem *parent);
    ~Device() override;

    QString key() const override;
    QIcon icon() const override { return QIcon(); }
    bool load(const QVariantMap &map) override;
    QVariantMap save() const override;
    bool removeChildren(int position, int count) override;
    int type() const override { return DeviceKind; }
    ServerItem *createChild() override;

    // The serial line settings the device was last opened with.
    struct LineSettings : Port::LineSettings
    {
        bool defined = false;
    };

    // A device whose additional status keeps changing while it keeps reporting more status is
    // acknowledged this many times in a row, no more.
    static constexpr int MaxStatusAcknowledgements = 3;

    // The universal and common-practice HART commands: names, reads into and writes from the
    // parameter map. The model classes handle their own numbers above 129.
    virtual QString readCommandName(int command);
    virtual QString writeCommandName(int command);
    virtual bool readDevice(int command);
    virtual bool writeDevice(int command);
    // Text lines for the model-specific status code; none for a device without a model.
    virtual QString deviceSpecificStatusText(int code) const;

    // The transaction path: one HART exchange through the port under its semaphore, logged in
    // the device log and recorded as the device's outcome. Both return the result code. A write
    // whose request carries a float parameter that is no number (unmeasured names its keys)
    // sends nothing and fails.
    int read(const QString &name, int command, QByteArray &reply);
    int write(const QString &name, int command, const QByteArray &request, QByteArray &reply,
              const QStringList &unmeasured = QStringList());
    // The outcome of a transaction (status bytes and texts, additional status, error text)
    // belongs to whoever holds its lock. The transaction path and the error reset take it; a
    // polling thread holds it from its read until it has taken the outcome, while the GUI
    // thread may use the device too. It is recursive because one read can run a further
    // transaction (the additional status). Taken through OutcomeHold only; the thread that
    // lets events through never holds it outside a line (see HeldLocks).
    class OutcomeHold
    {
    public:
        explicit OutcomeHold(const Device *device);
        ~OutcomeHold();
        Q_DISABLE_COPY_MOVE(OutcomeHold)

    private:
        QMutexLocker<QRecursiveMutex> m_locker;
    };
    // The values the calling thread's reads of one device store while it lives, whatever
    // another thread's poll leaves in the parameter map meanwhile: a caller that names or
    // writes a value it read takes it from here, and holds no lock while the read lets events
    // through.
    class ReadCapture
    {
    public:
        explicit ReadCapture(const Device *device);
        ~ReadCapture();
        Q_DISABLE_COPY_MOVE(ReadCapture)
        // Invalid when none of the reads stored the key.
        QVariant value(const QString &key) const { return m_values.value(key); }
        QVariantMap values() const { return m_values; }

    private:
        friend class Device;
        const Device *m_device;
        QVariantMap m_values;
        ReadCapture *m_outer;
    };
    void resetState() override;
    // Identification with command 73, or with command 0, 11 or 21.
    bool findDevice();
    bool checkDevice(const QString &tag, const QString &longTag, bool clearParameters);
    // Makes sure the port's line is open; -1 indexes stand for the device's own line settings.
    bool openPort(int baudrateIndex = -1, int parityIndex = -1);
    bool openPortDefault();
    LineSettings lineSettings() const;

    // Additional status (command 48): stores a reply, and evaluates, reports and acknowledges it.
    void storeStatusParameters(const QByteArray &data);
    bool statusText(bool readAdditional, bool onlyWhenMore);

    Port *port() const;
    int processingTime() const { return m_processingTime.load(); }
    void setProcessingTime(int milliseconds) { m_processingTime.store(milliseconds); }

    QString templateName() const;
    void setTemplate(const QString &name);

    // The polling address; a HART device answers at 0 to 63, and a configuration loads no other.
    static constexpr int MaxPollingAddress = 63;
    int address() const;
    void setAddress(int address);
    int pollingPeriod() const;
    void setPollingPeriod(int milliseconds);
    int requestTimeout() const;
    void setRequestTimeout(int milliseconds);
    int responceTimeout() const;
    void setResponceTimeout(int milliseconds);
    int byteTimeout() const;
    void setByteTimeout(int milliseconds);
    bool closePortIfError() const;
    void setClosePortIfError(bool close);
    QString producer() const;
    void setProducer(const QString &producer);
    QString comment() const;
    void setComment(const QString &comment);
    QString variant() const;
    void setVariant(const QString &variant);

    // Identity fields set when the device is identified; loading does not set them.
    QByteArray uniqueAddress() const;
    void setUniqueAddress(const QByteArray &address);
    QByteArray deviceId() const;
    void setDeviceId(const QByteArray &id);
    QByteArray expandedDeviceType() const;
    void setExpandedDeviceType(const QByteArray &type);
    QByteArray vendorId() const;
    void setVendorId(const QByteArray &id);

    // Parameter map. Reading never adds a key.
    QVariantMap parameters() const;
    QVariant parameter(const QString &key) const;
    void setParameter(const QString &key, const QVariant &value);
    int parameterInt(const QString &key) const;
    float parameterFloat(const QString &key) const;
    QString parameterString(const QString &key) const;
    QByteArray parameterByteArray(const QString &key) const;
    bool hasParameter(const QString &key) const;
    void removeParameter(const QString &key);
    void clearSlotVariables();
    void clearIdentity();
    void incrementModifyCount();

    // Value-state flags ("device_tag_state").
    int stateFlags() const { return m_stateFlags.load(); }
    // A load or a snapshot restore never takes the polled mark from a device that is polled.
    void setStateFlags(int flags);
    void addStateFlags(int flags) { m_stateFlags.fetch_or(flags); }
    void clearStateFlags(int flags) { m_stateFlags.fetch_and(~flags); }
    bool hasStateFlag(int flag) const { return (m_stateFlags.load() & flag) != 0; }
    // Every polling thread of the device registers while it polls; the "periodically requested"
    // flag stays set until the last of them has stopped, so that no poller closes the line
    // between the transactions of another.
    void beginPolling();
    void endPolling();
    int pollerCount() const;
    QString stateMarks() const;
    QString valueSourceText() const;

    bool displayName();

    // Device log of HART traffic, oldest line first.
    QStringList logLines() const;
    int logLineLimit() const { return DefaultLogLineLimit; }
    void appendLogLine(const QString &line);
    void logMessage(const QString &line);

    // Status of the last reply, copied from the link after each transaction.
    QByteArray lastStatusBytes() const;
    QStringList lastStatusTexts() const;
    void setLastStatus(const QByteArray &bytes, const QStringList &texts);
    QByteArray storedStatusBytes() const;
    void setStoredStatusBytes(const QByteArray &bytes);
    QString additionalStatusText() const;
    void setAdditionalStatusText(const QString &text);
    void reportAdditionalStatus();

    bool closePortAfterTransaction() const { return m_closePortAfterTransaction.load(); }
    bool requestAdditionalStatus() const { return m_requestAdditionalStatus.load(); }
    void setRequestAdditionalStatus(bool request) { m_requestAdditionalStatus.store(request); }

    QVariantMap measureInfo() const;
    void setMeasureInfo(const QVariantMap &info);
    // Empties the second snapshot; the measure info stays.
    void clearMeasureInfo();

    // The older loader: settings only, each read without a presence test.
    void loadDeviceSettings(const QVariantMap &map);
    // Loads the map but keeps the device's own settings and name.
    bool loadKeepingSettings(const QVariantMap &map);

    // Snapshots of the whole configuration map with the value-state flags, and an undo and a
    // redo map kept around a load.
    void takeFirstSnapshot();
    void takeSecondSnapshot();
    bool restoreFirstSnapshot();
    bool restoreSecondSnapshot();
    bool loadWithUndo(const QVariantMap &map);
    bool undo();
    bool redo();
    bool hasFirstSnapshot() const;
    bool hasSecondSnapshot() const;
    bool hasUndo() const;
    bool hasRedo() const;

    // Operations offered for callers outside the tree's own editing.
    void setParentItem(ServerItem *parent) { replaceParentReference(parent); }
    bool rename(const QString &name, bool keepOld = false);
    bool isDevice() const { return true; }
    void commentFromParameter();
    void syncTimeoutsToPort();
    void copyParametersToReference();
    bool mergeFromReference();

    // Text tables of HART codes; only the low 8 bits of a code count.
    static QString unitText(int unitCode, int classificationCode);
    static QString familyText(int code);
    static QString classificationText(int code);
    static QString variableStatusText(int status);
    static QString alarmSelectionText(int code);
    QString pvUnitText() const;
    QString svUnitText() const;
    QString tvUnitText() const;
    QString qvUnitText() const;
    QString calibrateUnitText() const;

signals:
    void tagsDeleting();
    void appendChannelData(const QString &name, const QVariant &value);
    void channelReaded();
    void deviceTemplateChanged(const QString &templateName);
    void modbusMessage(int address, const QString &line);
    void modbusErrorMessage(int address, const QString &line);
    void deviceStatus(const QString &text, const QByteArray &statusBytes);
    void deviceError(const QString &text);

protected:
    bool event(QEvent *event) override;
    // Names the device from the pattern among the port's devices and applies the defaults a
    // freshly built device has; the model classes call it with their own pattern.
    void applyDefaults(const QString &namePattern);
    // A write's reply must repeat its request; a mismatch is recorded as the device's failure.
    bool checkEcho(int command, bool counted, const QByteArray &request, const QByteArray &reply);
    // A reply shorter than its layout stores nothing: it is recorded as the device's failure.
    bool replyLongEnough(int command, const QByteArray &reply, int expected);
    void recordReplyFailure(const QString &text);
    // The four bytes a write request carries for a float parameter. A NaN or an infinity (what
    // an instrument answers for a value it did not measure) adds the key to unmeasured.
    QByteArray requestFloat(const QString &key, QStringList *unmeasured) const;

private:
    int loadedAddress(const QVariantMap &map) const;
    enum class Direction { Read, Write };
    int transaction(Direction direction, const QString &name, int command, const QByteArray &request,
                    QByteArray &reply, const QStringList &unmeasured = QStringList());
    void logTransactionError(Direction direction, const QString &name, int command);
    void recordOutcome(Port *port);
    void recordShortIdentity(const Port *port);
    void logLinkLines(const Port *port);
    bool identify(int command, const QString &tag, const QString &longTag, bool clearParameters);
    bool runIdentityCheck(Port *port, int command, const QString &tag, const QString &longTag,
                          QVariantMap &identity);
    void logIdentityOutcome(const Port *port, int command, bool ok);
    bool openPortWith(Port *port, int baudrateIndex, int parityIndex);
    bool openPortOwnSettings(Port *port);
    bool failOpen(Port *port);
    void setLineSettingsFromPort(const Port *port);
    QByteArray requestAddress() const;
    bool decodeReadReply(int command, const QByteArray &reply);
    QByteArray writeRequest(int command, QStringList *unmeasured) const;
    QByteArray slotCodesRequest(int slotCount) const;
    bool decodeWriteReply(int command, const QByteArray &reply);
    void decodeSlotVariables9(const QByteArray &reply);
    void decodeSlotVariables33(const QByteArray &reply);
    QStringList additionalStatusLines() const;
    void acknowledgeAdditionalStatus();
    bool isRevision5() const;
    QVariantMap snapshot() const;
    bool restoreSnapshot(const QVariantMap &snapshot);
    template<typename Change>
    void captureChange(Change change) const;
    void replaceParameters(const QVariantMap &parameters);
    void insertParameters(const QVariantMap &parameters);
    QString unitTextOf(const QString &unitKey, const QString &classKey) const;
    static QVariantMap encodeParameters(const QVariantMap &parameters, QVariantMap *types);
    static QVariantMap decodeParameters(const QVariantMap &stored, const QVariantMap &types);

    std::atomic<int> m_processingTime{0};
    int m_address = 0;   // the "address" property, for reading on any thread
    QString m_templateName;
    QByteArray m_uniqueAddress;
    QByteArray m_deviceId;
    QByteArray m_expandedDeviceType;
    QByteArray m_vendorId;
    QStringList m_log;
    std::atomic<int> m_stateFlags{StateInitial};
    QVariantMap m_parameters;
    QStringList m_statusTexts;
    QByteArray m_statusBytes;
    QByteArray m_storedStatusBytes;
    QString m_additionalStatusText;
    std::atomic<bool> m_closePortAfterTransaction{false};
    std::atomic<bool> m_requestAdditionalStatus{false};
    QVariantMap m_measureInfo;
    LineSettings m_lineSettings;
    QVariantMap m_firstSnapshot;
    QVariantMap m_secondSnapshot;
    QVariantMap m_undoMap;
    QVariantMap m_redoMap;
    QVariantMap m_referenceParameters;
    mutable QMutex m_dataLock;
    mutable QRecursiveMutex m_outcomeLock;
    int m_pollers = 0;   // guarded by m_dataLock
};
