#include "core/debugqt.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMutex>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

const QString kMarker = QStringLiteral("__DEBUGQT_PREFIX__");
const QString kHeaderEnd = QStringLiteral(" * ");

// Header items: marker, level, file, function, line, class.
enum HeaderItem { Marker, Level, File, Function, Line, Class, HeaderItems };

QString levelPrefix(quint32 level)
{
    if (level & DebugQt::LevelError)
        return QStringLiteral("err: ");
    if (level & DebugQt::LevelWarning)
        return QStringLiteral("warn: ");
    if (level & DebugQt::LevelInfo)
        return QStringLiteral("info: ");
    if (level & DebugQt::LevelUser1)
        return QStringLiteral("usr1: ");
    if (level & DebugQt::LevelUser2)
        return QStringLiteral("usr2: ");
    return QString();
}

} // namespace

std::atomic<DebugQt *> DebugQt::s_instance{nullptr};

DebugQt *DebugQt::instance(quint32 mask, QObject *parent)
{
    if (DebugQt *logger = s_instance.load(std::memory_order_acquire))
        return logger;
    // Threads that ask at once wait here, so the logger is made once.
    static QBasicMutex creation;
    const QMutexLocker locker(&creation);
    if (DebugQt *logger = s_instance.load(std::memory_order_acquire))
        return logger;
    return new DebugQt(mask, parent);
}

DebugQt::DebugQt(quint32 levelMask, QObject *parent)
    : QObject(parent)
    , mask(levelMask)
{
    DebugQt *none = nullptr;
    if (s_instance.compare_exchange_strong(none, this, std::memory_order_acq_rel)) {
        qInstallMessageHandler(&DebugQt::messageHandler);
        return;
    }
    qWarning("DebugQt: a logger exists already; the new one is not installed");
}

DebugQt::~DebugQt()
{
    // The handler must never reach a destroyed logger: hand messages back to Qt's own.
    DebugQt *self = this;
    if (s_instance.compare_exchange_strong(self, nullptr))
        qInstallMessageHandler(nullptr);
}

void DebugQt::setClassMask(const QString &className, quint32 classMask)
{
    m_classMasks.insert(className, classMask);
    quint32 levels = 0;
    for (const quint32 each : std::as_const(m_classMasks))
        levels |= each;
    m_classLevels.store(levels, std::memory_order_relaxed);
}

QString DebugQt::formatLine(const QString &message) const
{
    if (!message.startsWith(kMarker))
        return message;

    const qsizetype headerEnd = message.indexOf(kHeaderEnd);
    const QStringList header = headerEnd < 0 ? QStringList() : message.left(headerEnd).split(QLatin1Char(' '));
    if (header.size() < HeaderItems)
        return message; // not made by the log statement: treat it as a plain message

    const quint32 level = header.at(Level).toUInt();
    const auto classMask = m_classMasks.constFind(header.at(Class));
    const quint32 effective = classMask != m_classMasks.constEnd() ? classMask.value() : mask.load();
    if ((level & effective) == 0)
        return QString();

    QString line;
    if (effective & PartLevelPrefix)
        line += levelPrefix(level);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    if (effective & PartDate)
        line += QString::asprintf("%02d.%02d.%02d ", now.date().year(), now.date().month(), now.date().day());
    if (effective & PartTime)
        line += QString::asprintf("%02d:%02d:%02d.%06li ", now.time().hour(), now.time().minute(),
                                  now.time().second(), static_cast<long>(now.time().msec()));
    if (effective & PartIds)
        line += QString::asprintf("%u/%u ", static_cast<unsigned>(QCoreApplication::applicationPid()),
                                  static_cast<unsigned>(gettid()));
    if (effective & PartFileLine)
        line += header.at(File) + QLatin1Char('[') + header.at(Line) + QStringLiteral("] ");
    if (effective & PartFunction) {
        if (effective & PartClass)
            line += header.at(Class) + QStringLiteral("::");
        line += header.at(Function) + QStringLiteral("() ");
    }
    if (!line.isEmpty())
        line += QStringLiteral(": ");
    if (effective & PartText)
        line += message.mid(headerEnd + 5);
    return line;
}

void DebugQt::messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    DebugQt *logger = instance(HandlerMask, nullptr);
    const QString line = logger->formatLine(message);
    if (line.isEmpty())
        return;

    const QByteArray bytes = line.toUtf8();
    switch (type) {
    case QtDebugMsg:
        std::fprintf(stderr, "%s\n", bytes.constData());
        break;
    case QtWarningMsg:
        std::fprintf(stderr, "Warning: %s\n", bytes.constData());
        break;
    case QtCriticalMsg:
        std::fprintf(stderr, "Critical: %s\n", bytes.constData());
        break;
    case QtFatalMsg:
        std::fprintf(stderr, "Fatal: %s\n", bytes.constData());
        std::abort();
    default:
        return;
    }
    std::fflush(stderr);

    if (logger->emitFlag.load())
        logger->emitMessage(line);
}

void DebugQt::emitMessage(const QString &line)
{
    emit msg(line);
}
