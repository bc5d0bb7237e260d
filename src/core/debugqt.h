#pragma once

#include <QMap>
#include <QMetaObject>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <atomic>

// The program's single logger. It installs itself as Qt's message handler, filters the
// messages of DEBUGQT_LOG by a level mask and writes one line per message to stderr.
class DebugQt : public QObject
{
    Q_OBJECT

public:
    // Level bits (low) and line-part bits (high) of the level mask.
    enum : quint32 {
        LevelError = 0x1,
        LevelWarning = 0x2,
        LevelInfo = 0x4,
        LevelUser1 = 0x20,
        LevelUser2 = 0x40,
        PartText = 0x10000,
        PartDate = 0x20000,
        PartTime = 0x40000,
        PartIds = 0x80000,
        PartFileLine = 0x200000,
        PartFunction = 0x400000,
        PartLevelPrefix = 0x800000,
        PartClass = 0x8000000,
    };

    static constexpr quint32 StartupMask = 0x08ED0007;
    static constexpr quint32 HandlerMask = 0x08ED0003;
    static constexpr quint32 FormatBits = 0x08ED0000;

    // The program's logger, created on the first call with the mask and parent given then.
    static DebugQt *instance(quint32 mask = HandlerMask, QObject *parent = nullptr);

    // The first logger becomes the program's and installs the handler; a logger made while one
    // exists only formats lines for its owner, and says so with a warning.
    DebugQt(quint32 mask, QObject *parent = nullptr);
    ~DebugQt() override;

    // Whether a message of this level may be printed at all: false when neither the level mask
    // nor any per-class mask of the program's logger holds the level, so that a log statement
    // can skip building its message. Without a logger every message goes to Qt's handler.
    static bool isEnabled(quint32 level)
    {
        const DebugQt *logger = s_instance.load(std::memory_order_acquire);
        return !logger
               || (level & (logger->mask.load(std::memory_order_relaxed)
                            | logger->m_classLevels.load(std::memory_order_relaxed)))
                      != 0;
    }

    static void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    // Builds the output line of one message as the handler does; empty when nothing is printed.
    QString formatLine(const QString &message) const;

    void emitMessage(const QString &line);

    // A mask that replaces the level mask for the messages of one class. Set them up before
    // other threads log: the handler reads the table without a lock.
    void setClassMask(const QString &className, quint32 classMask);
    QMap<QString, quint32> classMasks() const { return m_classMasks; }

    std::atomic<quint32> mask;
    std::atomic<bool> emitFlag{false};

signals:
    void msg(QString line);

private:
    static std::atomic<DebugQt *> s_instance;
    QMap<QString, quint32> m_classMasks;
    std::atomic<quint32> m_classLevels{0};   // every level some per-class mask lets through
};
