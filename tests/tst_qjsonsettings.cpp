#include "core/qjsonsettings.h"

#include "core/debugqt.h"
#include "tempworkdir.h"
#include "testfiles.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QtTest>

class TestQJsonSettings : public QObject
{
    Q_OBJECT

private slots:
    void formatRegisteredOnce();
    void documents_data();
    void documents();
    void nestedValuesRoundTrip();
    void slashKeyIsOneMember();
    void parseErrorLoggedWithLine();
    void unreadableFileKeptBeforeSave();
    void failedWriteReportsFailure();
};

void TestQJsonSettings::formatRegisteredOnce()
{
    const QSettings::Format format = QJsonSettings::jsonFormat();
    QVERIFY(format != QSettings::InvalidFormat);
    QCOMPARE(QJsonSettings::jsonFormat(), format);
}

void TestQJsonSettings::documents_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("object") << QByteArray(R"({"a":1,"b":{"c":"x"}})") << true << QStringList{"a", "b"};
    QTest::newRow("top-level array holds no keys") << QByteArray("[1,2]") << true << QStringList();
    QTest::newRow("top-level number holds no keys") << QByteArray("42") << true << QStringList();
    QTest::newRow("syntax error") << QByteArray("{\"a\":1,\n\"b\" 2}") << false << QStringList();
    QTest::newRow("keys are case-sensitive") << QByteArray(R"({"App":1,"app":2})") << true << QStringList{"App", "app"};
}

void TestQJsonSettings::documents()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, readable);
    QFETCH(QStringList, keys);

    QBuffer buffer(&document);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QSettings::SettingsMap map;
    QCOMPARE(jsonReadFunc(buffer, map), readable);
    QCOMPARE(map.keys(), keys);
}

void TestQJsonSettings::nestedValuesRoundTrip()
{
    TempWorkDir dir;
    const QVariantMap value{{"list", QVariantList{1, "two", true, QVariantMap{{"x", 2.5}}}},
                            {"map", QVariantMap{{"flag", false}, {"text", QStringLiteral("Порт")}}},
                            {"none", QVariant()}};
    {
        QJsonSettings settings(dir.filePath("n.json"));
        settings.setValue("srv", value);
    }
    QJsonSettings settings(dir.filePath("n.json"));
    QCOMPARE(settings.status(), QSettings::NoError);
    const QVariantMap back = settings.value("srv").toMap();
    QCOMPARE(back.value("map"), value.value("map"));
    QCOMPARE(back.value("list").toList().at(3).toMap().value("x").toDouble(), 2.5);
    QCOMPARE(back.value("list").toList().at(0).toLongLong(), 1);
    QCOMPARE(back.value("list").toList().at(1).toString(), QStringLiteral("two"));
    QVERIFY(back.contains("none"));
}

void TestQJsonSettings::slashKeyIsOneMember()
{
    TempWorkDir dir;
    {
        QJsonSettings settings(dir.filePath("s.json"));
        settings.setValue("group/name", 1);
    }
    QCOMPARE(TestFiles::read(dir.filePath("s.json")), QByteArray(R"({"group/name":1})"));
    QJsonSettings settings(dir.filePath("s.json"));
    QCOMPARE(settings.value("group/name").toInt(), 1);
}

void TestQJsonSettings::parseErrorLoggedWithLine()
{
    TempWorkDir dir;
    DebugQt *logger = DebugQt::instance(DebugQt::StartupMask, nullptr);
    logger->emitFlag = true;
    QSignalSpy spy(logger, &DebugQt::msg);
    QVERIFY(TestFiles::write(dir.filePath("bad.json"), "{\n\"a\": 1,\n\"b\" 2\n}"));

    QJsonSettings settings(dir.filePath("bad.json"));
    QCOMPARE(settings.status(), QSettings::FormatError);
    QVERIFY(settings.allKeys().isEmpty());
    logger->emitFlag = false;

    bool found = false;
    for (const QList<QVariant> &args : spy)
        found |= args.at(0).toString().contains(QStringLiteral("parse error at line:  3  [ \""));
    QVERIFY2(found, "the parse error names its line");
}

void TestQJsonSettings::unreadableFileKeptBeforeSave()
{
    TempWorkDir dir;
    const QByteArray broken = "{\"srv\": {\"ports\": [ }";
    QVERIFY(TestFiles::write(dir.filePath("c.cfg"), broken));
    { QJsonSettings first(dir.filePath("c.cfg")); }
    // Reading it again keeps one copy, not a new one each time.
    {
        QJsonSettings settings(dir.filePath("c.cfg"));
        settings.setValue("app", QVariantMap{{"language", "en_US"}});
    }
    QCOMPARE(TestFiles::read(dir.filePath("c.cfg.bak")), broken);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).filter(".bak").size(), 1);
}

void TestQJsonSettings::failedWriteReportsFailure()
{
    QSettings::SettingsMap map{{"k", 1}};
    QFile full(QStringLiteral("/dev/full"));
    QVERIFY(full.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    QVERIFY(!jsonWriteFunc(full, map));

    QBuffer readOnly;
    QVERIFY(readOnly.open(QIODevice::ReadOnly));
    QVERIFY(!jsonWriteFunc(readOnly, map));
}

QTEST_GUILESS_MAIN(TestQJsonSettings)
#include "tst_qjsonsettings.moc"
