#include "core/debugqt.h"
#include "core/debugqtstream.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

namespace {

// A message exactly as the log statement builds it.
QString header(int level, const QString &cls = QStringLiteral("Device"))
{
    return QStringLiteral("__DEBUGQT_PREFIX__ %1 src/device.cpp read 42 %2 * 0 ").arg(level).arg(cls);
}

// Captures what the process writes to stderr while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        dup2(m_file.handle(), STDERR_FILENO);
    }
    QString finish()
    {
        std::fflush(stderr);
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

private:
    QTemporaryFile m_file;
    int m_saved = -1;
};

} // namespace

// Logs under a class name of its own, for a per-class mask that touches no other test.
class ProbeObject : public QObject
{
    Q_OBJECT

public:
    void log(int level, int *evaluated) { DEBUGQT_LOG(level) << ++*evaluated; }
};

class TestDebugQt : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lineFormat_data();
    void lineFormat();
    void classMaskReplacesLevelMask();
    void logStatementItems();
    void logStatementReachesStderrAndSignal();
    void plainQtWarningsPassUnfiltered();
    void secondLoggerDoesNotReplaceTheFirst();
    void maskedStatementIsNotBuilt_data();
    void maskedStatementIsNotBuilt();
};

void TestDebugQt::initTestCase()
{
    DebugQt::instance(DebugQt::StartupMask, nullptr);
}

void TestDebugQt::lineFormat_data()
{
    QTest::addColumn<quint32>("mask");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("pattern");

    const QString text = header(4) + QStringLiteral("\"ABC\" ");
    QTest::newRow("startup mask builds every part but the date")
        << quint32(0x08ED0007) << text
        << QStringLiteral("^info: \\d\\d:\\d\\d:\\d\\d\\.\\d{6} \\d+/\\d+ src/device\\.cpp\\[42\\] Device::read\\(\\) : \"ABC\" $");
    QTest::newRow("text bit alone gives the bare text") << quint32(0x10004) << text << QStringLiteral("^\"ABC\" $");
    QTest::newRow("parts without the text bit end with the separator")
        << quint32(0x00800004) << text << QStringLiteral("^info: : $");
    QTest::newRow("function without class bit") << quint32(0x00410004) << text << QStringLiteral("^read\\(\\) : \"ABC\" $");
    QTest::newRow("class bit without function bit adds nothing")
        << quint32(0x08010004) << text << QStringLiteral("^\"ABC\" $");
    QTest::newRow("date in year.month.day form")
        << quint32(0x00020004) << text << QStringLiteral("^\\d{4}\\.\\d\\d\\.\\d\\d : $");
    QTest::newRow("level not in the mask is dropped") << quint32(0x08ED0003) << text << QStringLiteral("^$");
    QTest::newRow("no part bit prints nothing") << quint32(0x00000004) << text << QStringLiteral("^$");
    QTest::newRow("mask of no log flags drops everything") << quint32(0x08ED0000) << header(1) << QStringLiteral("^$");
    QTest::newRow("error prefix") << quint32(0x00810001) << header(1) + QStringLiteral("x ")
                                  << QStringLiteral("^err: : x $");
    QTest::newRow("warning prefix") << quint32(0x00810002) << header(2) + QStringLiteral("x ")
                                    << QStringLiteral("^warn: : x $");
    QTest::newRow("level 8 passes without a prefix") << quint32(0x00810008) << header(8) + QStringLiteral("x ")
                                                     << QStringLiteral("^x $");
    QTest::newRow("only the first separator ends the header")
        << quint32(0x10004) << header(4) + QStringLiteral("a * b ") << QStringLiteral("^a \\* b $");
    QTest::newRow("message without header is left alone")
        << quint32(0x08ED0000) << QStringLiteral("plain text") << QStringLiteral("^plain text$");
    QTest::newRow("marker with a broken header is a plain message")
        << quint32(0x08ED0007) << QStringLiteral("__DEBUGQT_PREFIX__ 4 x") << QStringLiteral("^__DEBUGQT_PREFIX__ 4 x$");
}

void TestDebugQt::lineFormat()
{
    QFETCH(quint32, mask);
    QFETCH(QString, message);
    QFETCH(QString, pattern);

    DebugQt logger(mask);
    const QString line = logger.formatLine(message);
    QVERIFY2(QRegularExpression(pattern).match(line).hasMatch(), qPrintable(line));
}

void TestDebugQt::classMaskReplacesLevelMask()
{
    DebugQt logger(0x10007);
    logger.setClassMask(QStringLiteral("Port"), 0x10001);
    QCOMPARE(logger.formatLine(header(4, QStringLiteral("Port")) + QStringLiteral("x ")), QString());
    QCOMPARE(logger.formatLine(header(4, QStringLiteral("Device")) + QStringLiteral("x ")), QStringLiteral("x "));
}

void TestDebugQt::logStatementItems()
{
    DebugQt *logger = DebugQt::instance();
    logger->mask = 0x10007;
    logger->emitFlag = true;
    QSignalSpy spy(logger, &DebugQt::msg);

    DEBUGQT_LOG(4) << "ASCII to pack: " << QStringLiteral("A\"B") << 12 << true;
    logger->emitFlag = false;
    logger->mask = DebugQt::StartupMask;

    QCOMPARE(spy.count(), 1);
    // A QString is quoted as it stands; every item is followed by one blank.
    QCOMPARE(spy.at(0).at(0).toString(), QStringLiteral("ASCII to pack:  \"A\"B\" 12 true "));
}

void TestDebugQt::logStatementReachesStderrAndSignal()
{
    DebugQt *logger = DebugQt::instance();
    StderrCapture capture;
    DEBUGQT_LOG(1) << "*** broken";
    const QString written = capture.finish();
    QVERIFY2(written.contains(QRegularExpression(
                 QStringLiteral("^err: .*tests/tst_debugqt\\.cpp\\[\\d+\\] TestDebugQt::logStatementReachesStderrAndSignal\\(\\) : \\*\\*\\* broken \n$"))),
             qPrintable(written));

    logger->mask = 0x08ED0000;
    StderrCapture silent;
    DEBUGQT_LOG(1) << "dropped";
    QCOMPARE(silent.finish(), QString());
    logger->mask = DebugQt::StartupMask;
}

void TestDebugQt::plainQtWarningsPassUnfiltered()
{
    DebugQt *logger = DebugQt::instance();
    logger->mask = 0x08ED0000;
    StderrCapture capture;
    qWarning("disk %d missing", 3);
    qCritical("gone");
    logger->mask = DebugQt::StartupMask;
    QCOMPARE(capture.finish(), QStringLiteral("Warning: disk 3 missing\nCritical: gone\n"));
}

void TestDebugQt::secondLoggerDoesNotReplaceTheFirst()
{
    DebugQt *first = DebugQt::instance();
    {
        DebugQt second(0x10007);
        QCOMPARE(DebugQt::instance(), first);
    }
    QCOMPARE(DebugQt::instance(), first);
}

void TestDebugQt::maskedStatementIsNotBuilt_data()
{
    QTest::addColumn<quint32>("mask");
    QTest::addColumn<quint32>("probeMask");   // 0: none
    QTest::addColumn<bool>("built");
    QTest::newRow("level off: items not evaluated, nothing printed") << quint32(0x08ED0003) << 0u << false;
    QTest::newRow("level on: built and printed") << quint32(0x10007) << 0u << true;
    QTest::newRow("class mask lets through a level the level mask holds off")
        << quint32(0x10003) << quint32(0x10004) << true;
}

void TestDebugQt::maskedStatementIsNotBuilt()
{
    QFETCH(quint32, mask);
    QFETCH(quint32, probeMask);
    QFETCH(bool, built);
    DebugQt *logger = DebugQt::instance();
    logger->mask = mask;
    if (probeMask)
        logger->setClassMask(QStringLiteral("ProbeObject"), probeMask);
    logger->emitFlag = true;
    QSignalSpy spy(logger, &DebugQt::msg);

    ProbeObject probe;
    int evaluated = 0;
    probe.log(4, &evaluated);
    logger->emitFlag = false;
    logger->mask = DebugQt::StartupMask;
    QCOMPARE(evaluated, built ? 1 : 0);
    QCOMPARE(spy.count(), built ? 1 : 0);
}

QTEST_GUILESS_MAIN(TestDebugQt)
#include "tst_debugqt.moc"
