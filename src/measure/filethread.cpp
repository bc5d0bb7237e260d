#include "measure/filethread.h"

#include "core/appsettings.h"
#include "core/debugqtstream.h"
#include "core/utils.h"
#include "widgets/readout.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

#include <algorithm>

namespace {

const char *const kTimeFormat = "yyyy-MM-dd hh:mm:ss";

// A value the read did not measure (a failed read, NaN, infinity) leaves its field empty.
QString valueField(const QVariant &value)
{
    return Readout::isMeasured(value) ? Utils::variantToText(value) : QString();
}

QString archiveLine(int number, const QVariantMap &response)
{
    QString line = QStringLiteral("%1;%2;%3;%4;")
                       .arg(number)
                       .arg(response.value(QStringLiteral("DateTime")).toDateTime().toString(QLatin1String(kTimeFormat)),
                            valueField(response.value(QStringLiteral("PV"))),
                            valueField(response.value(QStringLiteral("output_current"))));
    line += response.value(QStringLiteral("statusCode")).toString() + QLatin1Char(';');
    for (const char *key : {"SV", "TV", "QV"}) {
        const auto it = response.constFind(QLatin1String(key));
        if (it != response.constEnd())
            line += valueField(it.value()) + QLatin1Char(';');
    }
    line += QLatin1Char('\n');
    return line;
}

} // namespace

// The lines after the header line of an existing archive, and whether the last one was cut short.
FileThread::ArchiveLines FileThread::countDataLines(const QString &fileName)
{
    ArchiveLines counted;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return counted;
    qint64 lines = 0;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 16);
        if (chunk.isEmpty())
            break;
        lines += chunk.count('\n');
        counted.size += chunk.size();
        counted.lastLineOpen = !chunk.endsWith('\n');
    }
    if (counted.lastLineOpen)
        ++lines;
    counted.count = int(std::max<qint64>(0, lines - 1));
    return counted;
}

FileThread::FileThread(QObject *parent)
    : QThread(parent)
{
}

FileThread::~FileThread()
{
    {
        QMutexLocker locker(&m_mutex);
        m_stop = true;
        if (!isRunning() && m_queuedLines + m_waitingLines > 0)
            start();
        else
            m_wake.wakeOne();
    }
    wait();
}

QString FileThread::defaultFileName(const QString &folder, const QString &name, const QDate &day)
{
    QString safeName = name;
    safeName.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QDir(folder).filePath(day.toString(QStringLiteral("yyyy/MM/dd/")) + safeName + QLatin1Char('_')
                                 + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".csv"));
}

bool FileThread::setParameters(const QVariantMap &parameters)
{
    {
        QMutexLocker locker(&m_mutex);
        m_errorText.clear();
        m_fileName.clear();
        m_lostLines = 0;
    }
    m_name.clear(); // nothing is archived until the new parameters hold
    const QString name = parameters.value(QStringLiteral("name")).toString();
    const QDateTime date = parameters.value(QStringLiteral("date")).toDateTime();
    if (name.trimmed().isEmpty()) {
        setError(tr("Name is empty."));
        return false;
    }
    if (!date.isValid()) {
        setError(tr("Date is invalid."));
        return false;
    }

    const QString givenFile = parameters.value(QStringLiteral("file_name")).toString();
    const QString givenFolder = parameters.value(QStringLiteral("archive_path")).toString();
    const bool defaultNames = givenFile.isEmpty();
    const QString folder = !defaultNames || !givenFolder.isEmpty() ? givenFolder : AppSettings::archivesDir();
    const QString fileName = defaultNames ? defaultFileName(folder, name, date.date()) : givenFile;

    const QString fileFolder = QFileInfo(fileName).absolutePath();
    if (!QDir().mkpath(fileFolder)) {
        setError(tr("Cannot create the folder %1.").arg(fileFolder));
        return false;
    }
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        setError(tr("Cannot open the file %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    m_fullName = parameters.value(QStringLiteral("full_name")).toString();
    m_archiveType = parameters.value(QStringLiteral("archive_type")).toString();
    // A new file gets its header now; an existing one is continued as it is.
    const QByteArray header = headerLine(date).toUtf8();
    if (file.size() == 0 && (file.write(header) != header.size() || !file.flush())) {
        setError(tr("Cannot write to the file %1: %2").arg(fileName, file.errorString()));
        return false;
    }
    file.close();

    m_name = name;
    m_folder = folder;
    m_defaultNames = defaultNames;
    m_day = date.date();

    QMutexLocker locker(&m_mutex);
    m_writeLineCount = std::max(1, parameters.value(QStringLiteral("write_line_count"), 10).toInt());
    m_fileName = fileName;
    startSegment(fileName, date);
    return true;
}

void FileThread::flushData()
{
    QMutexLocker locker(&m_mutex);
    m_flush = true;
    wakeWriter();
}

void FileThread::writeResponse(const QVariantMap &response)
{
    if (m_name.isEmpty())
        return;
    QVariantMap line = response;
    QDateTime time = response.value(QStringLiteral("DateTime")).toDateTime();
    if (!time.isValid()) {
        time = QDateTime::currentDateTime();
        line.insert(QStringLiteral("DateTime"), time);
    }

    bool newFile = false;
    QMutexLocker locker(&m_mutex);
    if (m_defaultNames && time.date() != m_day) {
        m_day = time.date();
        m_fileName = defaultFileName(m_folder, m_name, m_day);
        startSegment(m_fileName, time);
        newFile = true;
    }
    m_queue.last().responses.append(line);
    ++m_queuedLines;
    dropOldestWaiting();
    if (m_queuedLines >= m_writeLineCount || newFile)
        wakeWriter();
    locker.unlock();
    if (newFile)
        emit changeFile();
}

QString FileThread::fileName() const
{
    QMutexLocker locker(&m_mutex);
    return m_fileName;
}

QString FileThread::errorText() const
{
    QMutexLocker locker(&m_mutex);
    return m_errorText;
}

int FileThread::lostLines() const
{
    QMutexLocker locker(&m_mutex);
    return m_lostLines;
}

QString FileThread::headerLine(const QDateTime &date) const
{
    return QStringLiteral("%1 ; %2 ; %3 ;\n").arg(m_fullName, m_archiveType, date.toString(QLatin1String(kTimeFormat)));
}

// Mutex held.
void FileThread::startSegment(const QString &fileName, const QDateTime &date)
{
    m_queue.append(Segment{fileName, headerLine(date), {}, true});
}

// Mutex held.
void FileThread::wakeWriter()
{
    if (isRunning())
        m_wake.wakeOne();
    else
        start();
}

void FileThread::setError(const QString &text)
{
    QMutexLocker locker(&m_mutex);
    m_errorText = text;
}

// Mutex held. The waiting lines first, then the queued ones; one segment per file, its lines in
// the order they came.
QVector<FileThread::Segment> FileThread::takeBatch()
{
    QVector<Segment> batch;
    batch.swap(m_waiting);
    // The current file's segment stays, empty, for the lines still to come.
    QVector<Segment> queue;
    if (!m_queue.isEmpty())
        queue.append(Segment{m_queue.last().fileName, m_queue.last().header, {}});
    queue.swap(m_queue);
    for (Segment &segment : queue) {
        const auto same = std::find_if(batch.begin(), batch.end(),
                                       [&segment](const Segment &s) { return s.fileName == segment.fileName; });
        if (same != batch.end()) {
            same->responses += segment.responses;
            same->restart = same->restart || segment.restart;
        } else {
            batch.append(std::move(segment));
        }
    }
    m_queuedLines = 0;
    m_waitingLines = 0;
    m_flush = false;
    return batch;
}

// Mutex held.
void FileThread::keepUnwritten(const QVector<Segment> &segments)
{
    m_waiting = segments;
    m_waitingLines = 0;
    for (const Segment &segment : segments)
        m_waitingLines += int(segment.responses.size());
    dropOldestWaiting();
}

// Mutex held. Past the bound the oldest lines go: first those that wait, then the queued ones.
void FileThread::dropOldestWaiting()
{
    int excess = m_waitingLines + m_queuedLines - MaxWaitingLines;
    if (excess <= 0)
        return;
    m_lostLines += excess;
    const auto drop = [&excess](QVector<Segment> &segments, int &counter, bool keepLast) {
        while (excess > 0 && !segments.isEmpty()) {
            QVector<QVariantMap> &responses = segments.first().responses;
            const int count = std::min(excess, int(responses.size()));
            responses.remove(0, count);
            counter -= count;
            excess -= count;
            if (!responses.isEmpty() || (keepLast && segments.size() == 1))
                break;
            segments.removeFirst();
        }
    };
    drop(m_waiting, m_waitingLines, false);
    drop(m_queue, m_queuedLines, true);
}

void FileThread::run()
{
    QMutexLocker locker(&m_mutex);
    for (;;) {
        while (!m_stop && !m_flush && m_queuedLines < m_writeLineCount)
            m_wake.wait(&m_mutex);
        const QVector<Segment> batch = takeBatch();
        const bool stop = m_stop;

        locker.unlock();
        QStringList failures;
        const QVector<Segment> unwritten = writeBatch(batch, &failures);
        locker.relock();
        if (!unwritten.isEmpty()) {
            keepUnwritten(unwritten);
            QString text = failures.join(QLatin1Char(' ')) + QLatin1Char(' ')
                           + tr("Lines waiting to be written: %1.").arg(m_waitingLines);
            if (m_lostLines > 0)
                text += QLatin1Char(' ') + tr("Lines lost: %1.").arg(m_lostLines);
            m_errorText = text;
            locker.unlock();
            emit error(text);
            locker.relock();
            // An ending writer has no later batch to take its lines along.
            if (stop) {
                logUnwritten();
                break;
            }
        }
        if (stop && m_queuedLines == 0)
            break;
    }
}

// Mutex held.
void FileThread::logUnwritten() const
{
    for (const QVector<Segment> *segments : {&m_waiting, &m_queue}) {
        for (const Segment &segment : *segments) {
            if (!segment.responses.isEmpty())
                DEBUGQT_LOG(1) << "*** archive lines not written:" << segment.fileName << segment.responses.size();
        }
    }
}

// Writes every file's segment on its own; returns those that failed, to be tried again.
QVector<FileThread::Segment> FileThread::writeBatch(const QVector<Segment> &batch, QStringList *failures)
{
    QVector<Segment> unwritten;
    for (Segment segment : batch) {
        QString failure;
        if (writeSegment(segment, &failure))
            continue;
        m_lineCounts.remove(segment.fileName); // counted again once it can be written
        failures->append(failure);
        unwritten.append(segment);
    }
    return unwritten;
}

bool FileThread::openArchive(const Segment &segment, QString *failure)
{
    const QString folder = QFileInfo(segment.fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        *failure = tr("Cannot create the folder %1.").arg(folder);
        return false;
    }
    const auto known = m_lineCounts.constFind(segment.fileName);
    if (segment.restart || known == m_lineCounts.cend() || known->size != QFileInfo(segment.fileName).size())
        m_lineCounts.insert(segment.fileName, countDataLines(segment.fileName));
    return true;
}

bool FileThread::writeSegment(Segment &segment, QString *failure)
{
    if (!openArchive(segment, failure))
        return false;
    // Unbuffered, so that a failed write reports the system's own reason.
    QFile file(segment.fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        *failure = tr("Cannot open the file %1: %2").arg(segment.fileName, file.errorString());
        return false;
    }
    const qint64 start = file.size();
    const ArchiveLines known = m_lineCounts.value(segment.fileName);
    int lineCount = known.count;
    QByteArray data;
    if (start == 0) {
        data += segment.header.toUtf8();
        lineCount = 0;
    } else if (known.lastLineOpen) {
        data += '\n'; // a line cut short earlier is closed, never continued
    }
    for (const QVariantMap &response : segment.responses)
        data += archiveLine(++lineCount, response).toUtf8();
    if (data.isEmpty() || (start > 0 && segment.responses.isEmpty()))
        return true;
    // A short write leaves no reason; the write of the rest fails with the system's own.
    qint64 written = 0;
    for (qint64 step = 0; written < data.size(); written += step) {
        step = file.write(data.constData() + written, data.size() - written);
        if (step <= 0)
            break;
    }
    if (written != data.size()) {
        *failure = tr("Cannot write to the file %1: %2").arg(segment.fileName, file.errorString());
        // Whole lines only: what got in of this batch is cut off again. Where that fails too,
        // the lines that got in whole are not written a second time.
        if (!file.resize(start)) {
            const qsizetype leading = start == 0 || data.startsWith('\n') ? 1 : 0;
            const qsizetype whole = data.left(written).count('\n') - leading;
            segment.responses.remove(0, std::clamp<qsizetype>(whole, 0, segment.responses.size()));
        }
        return false;
    }
    m_lineCounts.insert(segment.fileName, ArchiveLines{lineCount, false, start + data.size()});
    if (!segment.responses.isEmpty()) {
        DEBUGQT_LOG(4) << segment.fileName << segment.responses.size() << "lines";
        emit writeLines(segment.fileName, lineCount);
    }
    return true;
}
