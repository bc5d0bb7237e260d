#include "core/qjsonsettings.h"

#include "core/debugqt.h"
#include "tempworkdir.h"
#include "testfiles.h"

#include <QBuffer>
#include <QByteArrayList>
#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

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
    void originalKeptBeforeWrite_data();
    void originalKeptBeforeWrite();
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
    QTest::newRow("two objects joined by a comma are no document")
        << QByteArray(R"({"srv":{}},{"app":{}})") << false << QStringList();
    QTest::newRow("two numbers joined by a comma are no document") << QByteArray("1, 2") << false << QStringList();
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

void TestQJsonSettings::originalKeptBeforeWrite_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArrayList>("copiesBefore");   // c.cfg.bak, then time-stamped copies
    QTest::addColumn<bool>("write");
    QTest::addColumn<QByteArrayList>("copiesAfter");    // contents of every copy

    const QByteArray broken = "{\"srv\": {\"ports\": [ }";
    QTest::newRow("file that does not parse") << broken << QByteArrayList() << true << QByteArrayList{broken};
    QTest::newRow("array document") << QByteArray("[1,2]") << QByteArrayList() << true
                                    << QByteArrayList{"[1,2]"};
    QTest::newRow("file only read gets no copy") << broken << QByteArrayList() << false << QByteArrayList();
    QTest::newRow("object document needs no copy") << QByteArray(R"({"a":1})") << QByteArrayList() << true
                                                   << QByteArrayList();
    QTest::newRow("content kept under a time-stamped name is not kept again")
        << broken << QByteArrayList{"other", broken} << true << QByteArrayList{broken, "other"};
    QTest::newRow("content beside another copy gets a time-stamped copy")
        << broken << QByteArrayList{"other"} << true << QByteArrayList{broken, "other"};
}

void TestQJsonSettings::originalKeptBeforeWrite()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArrayList, copiesBefore);
    QFETCH(bool, write);
    QFETCH(QByteArrayList, copiesAfter);

    TempWorkDir dir;
    const QString file = dir.filePath("c.cfg");
    QVERIFY(TestFiles::write(file, content));
    for (int i = 0; i < copiesBefore.size(); ++i)
        QVERIFY(TestFiles::write(file + (i == 0 ? QStringLiteral(".bak") : QStringLiteral(".%1.bak").arg(i)),
                                 copiesBefore.at(i)));
    { QJsonSettings first(file); }
    {
        QJsonSettings settings(file);
        if (write) {
            settings.setValue("app", QVariantMap{{"language", "en_US"}});
            QVERIFY(settings.writeNow());
        }
    }
    QByteArrayList copies;
    const QStringList names = QDir(dir.path()).entryList({"*.bak"}, QDir::Files);
    for (const QString &name : names)
        copies << TestFiles::read(dir.filePath(name));
    std::sort(copies.begin(), copies.end());
    std::sort(copiesAfter.begin(), copiesAfter.end());
    QCOMPARE(copies, copiesAfter);
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
