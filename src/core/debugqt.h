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

    static DebugQt *instance(quint32 mask = HandlerMask, QObject *parent = nullptr);

    DebugQt(quint32 mask, QObject *parent = nullptr);
    ~DebugQt() override;

    static void messageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);

    // Builds the output line of one message as the handler does; empty when nothing is printed.
    QString formatLine(const QString &message) const;

    void emitMessage(const QString &line);

    std::atomic<quint32> mask;
    QMap<QString, quint32> classMasks;
    std::atomic<bool> emitFlag{false};

signals:
    void msg(QString line);

private:
    static std::atomic<DebugQt *> s_instance;
};
