#include "measure/filethread.h"

#include "filesizelimit.h"
#include "queuedsignalspy.h"
#include "tempworkdir.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

QVariantMap parameters(const QString &folder, int lineCount = 3)
{
    return {{QStringLiteral("name"), QStringLiteral("TT-1")},
            {QStringLiteral("full_name"), QStringLiteral("TT-1 ; boiler ; Zorvan-M ; /dev/ttyS0 ; 0")},
            {QStringLiteral("date"), QDateTime(QDate(2024, 3, 5), QTime(10, 0))},
            {QStringLiteral("archive_type"), QStringLiteral("5sec")},
            {QStringLiteral("write_line_count"), lineCount},
            {QStringLiteral("archive_path"), folder}};
}

QVariantMap response(const QDateTime &time, float pv)
{
    return {{QStringLiteral("PV"), pv},
            {QStringLiteral("output_current"), 12.5f},
            {QStringLiteral("DateTime"), time},
            {QStringLiteral("statusCode"), QStringLiteral("00 00")},
            {QStringLiteral("statusText"), QString()}};
}

QStringList fileLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

const QDateTime kMorning(QDate(2024, 3, 5), QTime(10, 0, 1));

} // namespace

class TestFileThread : public QObject
{
    Q_OBJECT

private slots:
    void refusesParameters_data();
    void refusesParameters();
    void writesBatchesAndFlushes();
    void appendsToExistingFile();
    void startsNewFileAtChangeOfDay();
    void writesQueuedLinesBeforeEnding();
    void keepsLinesItCannotWrite_data();
    void keepsLinesItCannotWrite();
};

void TestFileThread::refusesParameters_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("error");

    QTest::newRow("empty name") << "name" << QVariant(QString()) << "Name is empty.";
    QTest::newRow("invalid date") << "date" << QVariant(QDateTime()) << "Date is invalid.";
    QTest::newRow("folder below a file") << "file_name" << QVariant(QStringLiteral("plain.txt/a.csv"))
                                         << "Cannot create the folder";
}

void TestFileThread::refusesParameters()
{
    QFETCH(QString, key);
    QFETCH(QVariant, value);
    QFETCH(QString, error);

    TempWorkDir work;
    QFile plain(work.filePath(QStringLiteral("plain.txt")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.close();

    FileThread writer;
    QVariantMap given = parameters(work.path());
    given.insert(key, key == QLatin1String("file_name") ? QVariant(work.filePath(value.toString())) : value);
    QVERIFY(!writer.setParameters(given));
    QVERIFY2(writer.errorText().startsWith(error), qPrintable(writer.errorText()));
    QVERIFY(writer.fileName().isEmpty());

    // Nothing is archived after a refusal, even where an earlier run was set up.
    writer.writeResponse(response(kMorning, 1.0f));
    writer.flushData();
}

void TestFileThread::writesBatchesAndFlushes()
{
    TempWorkDir work;
    FileThread writer;
    QueuedSignalSpy lines(&writer, &FileThread::writeLines);
    QVERIFY(writer.setParameters(parameters(work.path(), 3)));
    const QString fileName = work.filePath(QStringLiteral("2024/03/05/TT-1_20240305.csv"));
    QCOMPARE(writer.fileName(), fileName);

    for (int i = 0; i < 3; ++i)
        writer.writeResponse(response(kMorning.addSecs(i), 20.25f + i));
    QVERIFY(lines.wait());
    QCOMPARE(lines.last(), QVariantList({fileName, 3}));
    writer.writeResponse(response(kMorning.addSecs(3), 1.0f));

    QVariantMap withSecondary = response(kMorning.addSecs(9), 7.5f);
    withSecondary.insert(QStringLiteral("SV"), 1.5f);
    withSecondary.insert(QStringLiteral("TV"), 2.0f);
    writer.writeResponse(withSecondary);
    writer.flushData();
    QTRY_COMPARE(lines.last(), QVariantList({fileName, 5}));

    const QStringList written = fileLines(fileName);
    QCOMPARE(written.size(), 6);
    QCOMPARE(written.at(0), QStringLiteral("TT-1 ; boiler ; Zorvan-M ; /dev/ttyS0 ; 0 ; 5sec ; 2024-03-05 10:00:00 ;"));
    QCOMPARE(written.at(1), QStringLiteral("1;2024-03-05 10:00:01;20.25;12.5;00 00;"));
    QCOMPARE(written.at(5), QStringLiteral("5;2024-03-05 10:00:10;7.5;12.5;00 00;1.5;2;"));
}

void TestFileThread::appendsToExistingFile()
{
    TempWorkDir work;
    const QString fileName = work.filePath(QStringLiteral("chosen.csv"));
    QFile existing(fileName);
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.write("old header ;\n1;2024-03-04 09:00:00;1;4;00 00;\n2;2024-03-04 09:00:05;1;4;00 00;\n");
    existing.close();

    FileThread writer;
    QueuedSignalSpy lines(&writer, &FileThread::writeLines);
    QVariantMap given = parameters(QString(), 1);
    given.insert(QStringLiteral("file_name"), fileName);
    QVERIFY(writer.setParameters(given));
    writer.writeResponse(response(kMorning, 3.0f));
    QVERIFY(lines.wait());

    const QStringList written = fileLines(fileName);
    QCOMPARE(written.size(), 4);
    QCOMPARE(written.at(0), QStringLiteral("old header ;"));
    QVERIFY(written.at(3).startsWith(QStringLiteral("3;2024-03-05 10:00:01;3;")));
}

void TestFileThread::startsNewFileAtChangeOfDay()
{
    TempWorkDir work;
    FileThread writer;
    QSignalSpy changes(&writer, &FileThread::changeFile);
    QVERIFY(writer.setParameters(parameters(work.path(), 100)));
    writer.writeResponse(response(QDateTime(QDate(2024, 3, 5), QTime(23, 59, 59)), 1.0f));
    writer.writeResponse(response(QDateTime(QDate(2024, 3, 6), QTime(0, 0, 4)), 2.0f));
    QCOMPARE(changes.count(), 1);
    const QString nextDay = work.filePath(QStringLiteral("2024/03/06/TT-1_20240306.csv"));
    QCOMPARE(writer.fileName(), nextDay);
    writer.flushData();

    QTRY_COMPARE(fileLines(nextDay).size(), 2);
    QCOMPARE(fileLines(nextDay).at(1), QStringLiteral("1;2024-03-06 00:00:04;2;12.5;00 00;"));
    QCOMPARE(fileLines(work.filePath(QStringLiteral("2024/03/05/TT-1_20240305.csv"))).size(), 2);
}

void TestFileThread::writesQueuedLinesBeforeEnding()
{
    TempWorkDir work;
    QString fileName;
    {
        // Lines of an earlier run wait for a file with a folder in its place.
        FileThread writer;
        QueuedSignalSpy errors(&writer, &FileThread::error);
        QVERIFY(writer.setParameters(parameters(work.filePath(QStringLiteral("a")), 1000)));
        QVERIFY(QFile::remove(writer.fileName()) && QDir().mkdir(writer.fileName()));
        writer.writeResponse(response(kMorning, 1.0f));
        writer.flushData();
        QVERIFY(errors.wait());
        QVERIFY(writer.setParameters(parameters(work.path(), 1000)));
        fileName = writer.fileName();
        for (int i = 0; i < 5; ++i)
            writer.writeResponse(response(kMorning.addSecs(i), 1.0f));
    }
    QCOMPARE(fileLines(fileName).size(), 6);
}

void TestFileThread::keepsLinesItCannotWrite_data()
{
    QTest::addColumn<bool>("diskFull");     // else the file is replaced by a folder
    QTest::addColumn<int>("during");        // lines measured while the file cannot be written
    QTest::addColumn<QString>("errorEnd");  // none: the file is only moved away, and started anew
    QTest::addColumn<QString>("then");      // where the archive goes on meanwhile, if elsewhere
    QTest::addColumn<QString>("firstLine"); // of the file once it can be written again
    QTest::addColumn<int>("dataLines");
    QTest::addColumn<int>("lost");
    const QString waiting = QStringLiteral("Lines waiting to be written: 2.");
    QTest::newRow("full disk mid-line: the line is cut back, the lines wait")
        << true << 2 << waiting << "" << "1;2024-03-05 10:00:01;" << 6 << 0;
    QTest::newRow("file replaced by a folder: the lines go to the new file")
        << false << 2 << waiting << "" << "1;2024-03-05 10:00:03;" << 4 << 0;
    QTest::newRow("past the bound the oldest lines go and are counted")
        << false << FileThread::MaxWaitingLines + 5
        << QStringLiteral("Lines waiting to be written: %1. Lines lost: 5.").arg(FileThread::MaxWaitingLines) << ""
        << "1;2024-03-05 10:00:10;" << FileThread::MaxWaitingLines << 7;
    QTest::newRow("full disk: another file is written at once")
        << true << 2 << waiting << "b.csv" << "1;2024-03-05 10:00:01;" << 4 << 0;
    QTest::newRow("a folder in the way: another file is written at once")
        << false << 2 << waiting << "b.csv" << "1;2024-03-05 10:00:03;" << 2 << 0;
    QTest::newRow("the next day's file is written at once")
        << false << 2 << waiting << "2024/03/06/TT-1_20240306.csv" << "1;2024-03-05 10:00:03;" << 2 << 0;
    QTest::newRow("a file started anew is numbered from 1")
        << false << 0 << QString() << "" << "1;2024-03-05 10:00:03;" << 2 << 0;
}

void TestFileThread::keepsLinesItCannotWrite()
{
    QFETCH(bool, diskFull);
    QFETCH(int, during);
    QFETCH(QString, errorEnd);
    QFETCH(QString, then);
    QFETCH(QString, firstLine);
    QFETCH(int, dataLines);
    QFETCH(int, lost);

    TempWorkDir work;
    FileThread writer;
    QueuedSignalSpy lines(&writer, &FileThread::writeLines);
    QueuedSignalSpy errors(&writer, &FileThread::error);
    QVariantMap given = parameters(work.path(), 2 * FileThread::MaxWaitingLines);
    if (!then.contains(QLatin1Char('/')))
        given.insert(QStringLiteral("file_name"), work.filePath(QStringLiteral("run.csv")));
    QVERIFY(writer.setParameters(given));
    const QString fileName = writer.fileName();
    const QString other = work.filePath(then);
    int second = 0;
    const auto measure = [&](int count) {
        for (int i = 0; i < count; ++i)
            writer.writeResponse(response(kMorning.addSecs(second++), 20.25f));
        writer.flushData();
    };
    measure(2);
    QVERIFY(lines.wait());
    const QStringList before = fileLines(fileName);
    {
        std::unique_ptr<FileSizeLimit> limit(diskFull ? new FileSizeLimit(QFileInfo(fileName).size() + 10) : nullptr);
        if (errorEnd.isEmpty()) // and the page starts its archive again
            QVERIFY(QFile::rename(fileName, fileName + QStringLiteral(".old")) && writer.setParameters(given));
        else if (!diskFull)
            QVERIFY(QFile::remove(fileName) && QDir().mkdir(fileName));
        measure(during);
        QVERIFY(errorEnd.isEmpty() || errors.wait(20000));
        if (then == QLatin1String("b.csv")) {
            given.insert(QStringLiteral("file_name"), other);
            QVERIFY(writer.setParameters(given));
        }
        second += then.contains(QLatin1Char('/')) ? 86400 : 0;
        if (!then.isEmpty()) {
            measure(2);
            QTRY_COMPARE(fileLines(other).size(), 3);
        }
    }
    const QString error = errors.value(errors.size() - 1).value(0).toString();
    QVERIFY2(error.endsWith(errorEnd), qPrintable(error));
    if (diskFull)
        QCOMPARE(fileLines(fileName), before);
    else if (!errorEnd.isEmpty())
        QVERIFY(QDir().rmdir(fileName));

    lines.clear();
    measure(2);
    QTRY_VERIFY_WITH_TIMEOUT(lines.contains(QVariantList({fileName, dataLines})), 20000);
    const QStringList written = fileLines(fileName);
    QCOMPARE(written.size(), dataLines + 1);
    QVERIFY2(written.at(1).startsWith(firstLine), qPrintable(written.at(1)));
    for (int i = 1; i < written.size(); ++i)
        QVERIFY2(written.at(i).startsWith(QString::number(i) + QLatin1Char(';')) && written.at(i).count(QLatin1Char(';')) == 5,
                 qPrintable(written.at(i)));
    QCOMPARE(writer.lostLines(), lost);
}

QTEST_MAIN(TestFileThread)
#include "tst_filethread.moc"
