#pragma once

#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <QVector>
#include <QWaitCondition>

// The archive writer: polling responses are queued by the GUI thread and written as CSV lines by
// this thread alone, a batch once "write_line_count" lines wait, everything on flushData and
// before the thread ends. With default names the archive is one file per device and day, in
// folders per year, month and day; an existing file is appended to, never truncated.
// Each file is written on its own: a file that cannot be written (a full disk, a file made
// read-only) keeps whole lines only, its lines wait, in order, and are tried again with every
// later batch, and an error naming the waiting lines is reported at every failed attempt; the
// lines of every other file are written meanwhile.
class FileThread : public QThread
{
    Q_OBJECT

public:
    // Lines kept while the file cannot be written; past this the oldest are dropped and counted.
    static constexpr int MaxWaitingLines = 100000;

    explicit FileThread(QObject *parent = nullptr);
    ~FileThread() override;

    // Sets up the archive from "name", "full_name", "date", "archive_type", "write_line_count"
    // and "archive_path" or "file_name". False, with errorText(), when the parameters are invalid
    // or the file cannot be created or opened.
    bool setParameters(const QVariantMap &parameters);
    // Has the writer write every queued line; does not wait.
    void flushData();
    // Queues one archive line for the response; never touches the file.
    void writeResponse(const QVariantMap &response);

    QString fileName() const;
    QString errorText() const;
    // Lines dropped since setParameters because they waited too long for a writable file.
    int lostLines() const;

    // The archive file of a device and day below folder.
    static QString defaultFileName(const QString &folder, const QString &name, const QDate &day);

signals:
    void error(const QString &text);
    void writeLines(const QString &fileName, int count);
    void changeFile();

protected:
    void run() override;

private:
    // Lines bound for one file, with the header that file gets when it is new.
    struct Segment
    {
        QString fileName;
        QString header;
        QVector<QVariantMap> responses;
        // The file is (re)started here: its lines are counted again before these are numbered.
        bool restart = false;
    };

    QString headerLine(const QDateTime &date) const;
    void startSegment(const QString &fileName, const QDateTime &date);
    void wakeWriter();
    void setError(const QString &text);
    struct ArchiveLines
    {
        int count = 0;
        bool lastLineOpen = false;
        qint64 size = 0; // of the file as counted or last written
    };
    static ArchiveLines countDataLines(const QString &fileName);

    QVector<Segment> takeBatch();
    void keepUnwritten(const QVector<Segment> &segments);
    void dropOldestWaiting();
    void logUnwritten() const;
    // Writer thread only.
    QVector<Segment> writeBatch(const QVector<Segment> &batch, QStringList *failures);
    // On failure, segment keeps the lines still to be written.
    bool writeSegment(Segment &segment, QString *failure);
    bool openArchive(const Segment &segment, QString *failure);

    mutable QMutex m_mutex;
    QWaitCondition m_wake;
    bool m_stop = false;
    bool m_flush = false;
    QVector<Segment> m_queue;
    int m_queuedLines = 0;
    // Lines that could not be written, one segment per file; they go before m_queue.
    QVector<Segment> m_waiting;
    int m_waitingLines = 0;
    int m_lostLines = 0;
    QString m_fileName;
    QString m_errorText;

    // Set by setParameters, used by the GUI thread's writeResponse.
    QString m_name;
    QString m_fullName;
    QString m_archiveType;
    QString m_folder;
    bool m_defaultNames = true;
    int m_writeLineCount = 10;
    QDate m_day;

    // Writer thread only: the data lines of each file written to, counted again (with a line an
    // earlier failure left cut short) when the file is started anew, failed, or is no longer the
    // size it was left at (moved away, replaced, cut).
    QHash<QString, ArchiveLines> m_lineCounts;
};
