#include "measure/filethread.h"

#include "core/appsettings.h"
#include "core/debugqtstream.h"
#include "core/utils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>

#include <algorithm>

namespace {

const char *const kTimeFormat = "yyyy-MM-dd hh:mm:ss";

// The number of lines after the header line of an existing archive.
int countDataLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    qint64 lines = 0;
    bool open = false; // the last line has no line end yet
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(1 << 16);
        lines += chunk.count('\n');
        open = !chunk.endsWith('\n');
    }
    if (open)
        ++lines;
    return int(std::max<qint64>(0, lines - 1));
}

QString archiveLine(int number, const QVariantMap &response)
{
    QString line = QStringLiteral("%1;%2;%3;%4;")
                       .arg(number)
                       .arg(response.value(QStringLiteral("DateTime")).toDateTime().toString(QLatin1String(kTimeFormat)),
                            Utils::variantToText(response.value(QStringLiteral("PV"))),
                            Utils::variantToText(response.value(QStringLiteral("output_current"))));
    line += response.value(QStringLiteral("statusCode")).toString() + QLatin1Char(';');
    for (const char *key : {"SV", "TV", "QV"}) {
        const auto it = response.constFind(QLatin1String(key));
        if (it != response.constEnd())
            line += Utils::variantToText(it.value()) + QLatin1Char(';');
    }
    line += QLatin1Char('\n');
    return line;
}

} // namespace

FileThread::FileThread(QObject *parent)
    : QThread(parent)
{
}

FileThread::~FileThread()
{
    {
        QMutexLocker locker(&m_mutex);
        m_stop = true;
        if (!isRunning() && m_queuedLines > 0)
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

QString FileThread::headerLine(const QDateTime &date) const
{
    return QStringLiteral("%1 ; %2 ; %3 ;\n").arg(m_fullName, m_archiveType, date.toString(QLatin1String(kTimeFormat)));
}

// Mutex held.
void FileThread::startSegment(const QString &fileName, const QDateTime &date)
{
    m_queue.append(Segment{fileName, headerLine(date), {}});
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

void FileThread::run()
{
    QMutexLocker locker(&m_mutex);
    for (;;) {
        while (!m_stop && !m_flush && m_queuedLines < m_writeLineCount)
            m_wake.wait(&m_mutex);
        QVector<Segment> batch;
        batch.swap(m_queue);
        if (!batch.isEmpty())
            m_queue.append(Segment{batch.last().fileName, batch.last().header, {}});
        m_queuedLines = 0;
        m_flush = false;
        const bool stop = m_stop;

        locker.unlock();
        for (const Segment &segment : std::as_const(batch))
            writeSegment(segment);
        locker.relock();
        if (stop && m_queuedLines == 0)
            break;
    }
}

bool FileThread::openArchive(const Segment &segment)
{
    const QString folder = QFileInfo(segment.fileName).absolutePath();
    if (!QDir().mkpath(folder)) {
        const QString text = tr("Cannot create the folder %1.").arg(folder);
        setError(text);
        emit error(text);
        return false;
    }
    if (segment.fileName != m_writerFile)
        m_lineCount = countDataLines(segment.fileName);
    m_writerFile = segment.fileName;
    return true;
}

void FileThread::writeSegment(const Segment &segment)
{
    if (!openArchive(segment))
        return;
    QFile file(segment.fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        const QString text = tr("Cannot open the file %1: %2").arg(segment.fileName, file.errorString());
        setError(text);
        emit error(text);
        return;
    }
    QByteArray data;
    if (file.size() == 0) {
        data += segment.header.toUtf8();
        m_lineCount = 0;
    }
    for (const QVariantMap &response : segment.responses)
        data += archiveLine(++m_lineCount, response).toUtf8();
    if (data.isEmpty())
        return;
    if (file.write(data) != data.size() || !file.flush()) {
        m_writerFile.clear(); // count the lines again at the next batch
        const QString text = tr("Cannot write to the file %1: %2").arg(segment.fileName, file.errorString());
        setError(text);
        emit error(text);
        return;
    }
    if (!segment.responses.isEmpty()) {
        DEBUGQT_LOG(4) << segment.fileName << segment.responses.size() << "lines";
        emit writeLines(segment.fileName, m_lineCount);
    }
}
