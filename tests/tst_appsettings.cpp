#include "core/appsettings.h"

#include "core/qjsonsettings.h"
#include "tempworkdir.h"
#include "testfiles.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <memory>

namespace {

QJsonObject readJson(const QString &name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readAll()).object();
}

QString startupTarget()
{
    return readJson(AppSettings::startupFileName()).value("cfg_filename").toString();
}

} // namespace

class TestAppSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void pathsUnderWorkingFolder();
    void loadedFields_data();
    void loadedFields();
    void linesLimitRange_data();
    void linesLimitRange();
    void saveWritesRecordAndKeepsOtherMembers();
    void failedSaveLeavesFilesAsTheyWere();
    void firstStartCreatesStartupAndDefault();
    void startupNamingDeletedFileFallsBackToDefault();
    void unreadableConfigIsKeptAndLoadsAsDefaults();
    void configFileNameResolution();

private:
    std::unique_ptr<TempWorkDir> m_dir;
    std::unique_ptr<AppSettings> m_pristine;
    AppSettings &m_fresh() { return *m_pristine; }
};

void TestAppSettings::initTestCase()
{
    // The folder layout is fixed when the settings store first comes into being.
    m_dir = std::make_unique<TempWorkDir>();
    m_pristine = std::make_unique<AppSettings>(*AppSettings::instance());
}

void TestAppSettings::cleanup()
{
    QDir(AppSettings::cfgDir()).removeRecursively();
    QDir(AppSettings::baseDir() + "/tests").removeRecursively();
}

void TestAppSettings::pathsUnderWorkingFolder()
{
    const QString base = QDir(m_dir->path()).absolutePath();
    QCOMPARE(AppSettings::baseDir(), base);
    QCOMPARE(AppSettings::cfgDir(), base + "/cfg");
    QCOMPARE(AppSettings::logFileName(), base + "/log/tenvara.log");
    QCOMPARE(AppSettings::startupFileName(), base + "/cfg/startup.cfg");
    QCOMPARE(AppSettings::defaultConfigFileName(), base + "/cfg/tenvara.cfg");
    QCOMPARE(AppSettings::templateExtension(), QStringLiteral("tpl"));
    QVERIFY(!QFileInfo::exists(base + "/archives"));
    QCOMPARE(AppSettings::archivesDir(), base + "/archives");
    QVERIFY(QFileInfo(base + "/archives").isDir());
}

void TestAppSettings::loadedFields_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("recordMaster");
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("primaryMaster");
    QTest::addColumn<QStringList>("logFlags");
    QTest::addColumn<bool>("logFileEnabled");
    QTest::addColumn<bool>("testsFolder");

    QTest::newRow("no app member gives defaults") << QByteArray(R"({"srv":{}})") << true << "ru_RU" << true
                                                  << QStringList() << false << true;
    QTest::newRow("missing primary_master is true even if the record was false")
        << QByteArray(R"({"app":{"language":"en_US"}})") << false << "en_US" << true << QStringList() << false << true;
    QTest::newRow("primary_master false") << QByteArray(R"({"app":{"primary_master":false}})") << true << "ru_RU"
                                          << false << QStringList() << false << true;
    QTest::newRow("flags and log file") << QByteArray(R"({"app":{"log_flags":["ERR","INFO"],"log_file_enabled":true,"tests_path":"/t"}})")
                                        << true << "ru_RU" << true << QStringList{"ERR", "INFO"} << true << false;
    QTest::newRow("a text is no list of flags") << QByteArray(R"({"app":{"log_flags":"ERR"}})") << true << "ru_RU"
                                                << true << QStringList() << false << true;
    QTest::newRow("missing file gives defaults") << QByteArray() << true << "ru_RU" << true << QStringList() << false
                                                 << true;
}

void TestAppSettings::loadedFields()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, recordMaster);
    QFETCH(QString, language);
    QFETCH(bool, primaryMaster);
    QFETCH(QStringList, logFlags);
    QFETCH(bool, logFileEnabled);
    QFETCH(bool, testsFolder);

    const QString file = AppSettings::cfgDir() + "/a.cfg";
    if (!document.isEmpty())
        QVERIFY(TestFiles::write(file, document));
    AppSettings settings = m_fresh();
    settings.primaryMaster = recordMaster;
    QVERIFY(settings.loadConfigFile(file));

    QCOMPARE(settings.language, language);
    QCOMPARE(settings.primaryMaster, primaryMaster);
    QCOMPARE(settings.logFlags, logFlags);
    QCOMPARE(settings.logFileEnabled, logFileEnabled);
    QCOMPARE(settings.testsPath == AppSettings::baseDir() + "/tests", testsFolder);
    QCOMPARE(settings.logViewLinesLimit, 1000);
    QVERIFY(settings.geometry.isEmpty());
    QVERIFY(settings.currentItem.isEmpty());
    // Every load, even of a missing file, becomes the current file.
    QCOMPARE(AppSettings::configFileName(), file);
    QCOMPARE(startupTarget(), file);
}

void TestAppSettings::linesLimitRange_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("taken");
    QTest::newRow("1 is taken") << QByteArray("1") << true;
    QTest::newRow("9999 is taken") << QByteArray("9999") << true;
    QTest::newRow("0 is ignored") << QByteArray("0") << false;
    QTest::newRow("10000 is ignored") << QByteArray("10000") << false;
    QTest::newRow("negative is ignored") << QByteArray("-5") << false;
    QTest::newRow("text is ignored") << QByteArray("\"50\"") << false;
    QTest::newRow("fraction is ignored") << QByteArray("12.5") << false;
    QTest::newRow("number beyond every integer is ignored") << QByteArray("1e19") << false;
    QTest::newRow("whole number written as a real is taken") << QByteArray("2.5e1") << true;
}

void TestAppSettings::linesLimitRange()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, taken);
    // A record whose limit is not the default shows that an ignored value keeps what was there.
    constexpr int before = 321;
    const int number = taken ? int(value.toDouble()) : before;
    const QString file = AppSettings::cfgDir() + "/l.cfg";
    QVERIFY(TestFiles::write(file, "{\"app\":{\"log_view_lines_limit\":" + value + "}}"));
    AppSettings settings = m_fresh();
    settings.logViewLinesLimit = before;
    settings.loadConfigFile(file);
    QCOMPARE(settings.logViewLinesLimit, number);

    bool whole = false;
    const int direct = value.toInt(&whole);
    if (whole) {
        AppSettings record = m_fresh();
        record.logViewLinesLimit = before;
        record.setLogViewLinesLimit(direct);
        QCOMPARE(record.logViewLinesLimit, taken ? direct : before);
    }
}

void TestAppSettings::saveWritesRecordAndKeepsOtherMembers()
{
    const QString file = AppSettings::cfgDir() + "/s.cfg";
    QVERIFY(TestFiles::write(file, R"({"app":{"log_file_enabled":true,"log_view_lines_limit":250,"stale":1},"extra":[1],"srv":{}})"));
    AppSettings settings = m_fresh();
    settings.loadConfigFile(file);
    settings.testsPath.clear();
    settings.geometry = QByteArray("\x01\x02\xff", 3);
    settings.server = QVariantMap{{"ports", QVariantList{QVariantMap{{"name", "COM1"}}}}};
    QVERIFY(settings.saveConfigFile());

    const QJsonObject saved = readJson(file);
    const QJsonObject app = saved.value("app").toObject();
    QCOMPARE(saved.value("extra").toArray().size(), 1);
    QCOMPARE(saved.value("srv").toObject().value("ports").toArray().at(0).toObject().value("name").toString(),
             QStringLiteral("COM1"));
    QVERIFY(!app.contains("stale"));
    QCOMPARE(app.value("tests_path").toString(), AppSettings::baseDir() + "/tests");
    QCOMPARE(app.value("geometry").toString(), QStringLiteral("AQL/"));
    // What was read is written back, so a restart keeps it.
    QCOMPARE(app.value("log_file_enabled").toBool(), true);
    QCOMPARE(app.value("log_view_lines_limit").toInt(), 250);

    AppSettings reloaded = m_fresh();
    reloaded.loadConfigFile(file);
    QCOMPARE(reloaded.geometry, settings.geometry);
    QCOMPARE(reloaded.logViewLinesLimit, 250);
    QCOMPARE(reloaded.server, settings.server);
}

void TestAppSettings::failedSaveLeavesFilesAsTheyWere()
{
    const QString good = AppSettings::cfgDir() + "/good.cfg";
    QVERIFY(TestFiles::write(good, R"({"app":{"language":"en_US"}})"));
    AppSettings settings = m_fresh();
    settings.loadConfigFile(good);
    const QByteArray startupBefore = QJsonDocument(readJson(AppSettings::startupFileName())).toJson();

    // A folder that is a plain file cannot hold the configuration, not even for root.
    QVERIFY(TestFiles::write(AppSettings::cfgDir() + "/blocker", "x"));
    AppSettings::setConfigFileName(AppSettings::cfgDir() + "/blocker/c.cfg");
    QVERIFY(TestFiles::write(AppSettings::startupFileName(), startupBefore));
    QVERIFY(!settings.saveConfigFile());
    QCOMPARE(QJsonDocument(readJson(AppSettings::startupFileName())).toJson(), startupBefore);
}

void TestAppSettings::firstStartCreatesStartupAndDefault()
{
    QVERIFY(!QFileInfo::exists(AppSettings::cfgDir()));
    AppSettings settings = m_fresh();
    QVERIFY(settings.loadStartup());
    QCOMPARE(startupTarget(), AppSettings::defaultConfigFileName());
    QVERIFY(QFileInfo::exists(AppSettings::defaultConfigFileName()));
    QCOMPARE(AppSettings::configFileName(), AppSettings::defaultConfigFileName());
    // The copied default must be a file the user can save over.
    QVERIFY(settings.saveConfigFile());
}

void TestAppSettings::startupNamingDeletedFileFallsBackToDefault()
{
    QVERIFY(TestFiles::write(AppSettings::startupFileName(), R"({"cfg_filename":"/nowhere/gone.cfg"})"));
    QVERIFY(TestFiles::write(AppSettings::defaultConfigFileName(), R"({"app":{"language":"en_US"}})"));
    AppSettings settings = m_fresh();
    settings.loadStartup();
    QCOMPARE(settings.language, QStringLiteral("en_US")); // the existing default is not overwritten
    QCOMPARE(startupTarget(), AppSettings::defaultConfigFileName());
}

void TestAppSettings::unreadableConfigIsKeptAndLoadsAsDefaults()
{
    const QString file = AppSettings::cfgDir() + "/broken.cfg";
    const QByteArray broken = R"({"app":{"language":"en_US",}})";
    QVERIFY(TestFiles::write(file, broken));
    AppSettings settings = m_fresh();
    settings.loadConfigFile(file);
    QCOMPARE(settings.language, QStringLiteral("ru_RU"));

    QVERIFY(settings.saveConfigFile());
    QFile backup(file + ".bak");
    QVERIFY(backup.open(QIODevice::ReadOnly));
    QCOMPARE(backup.readAll(), broken);
    QCOMPARE(readJson(file).value("app").toObject().value("language").toString(), QStringLiteral("ru_RU"));
}

void TestAppSettings::configFileNameResolution()
{
    // A relative name is read from the cfg folder, the file the next save writes.
    QVERIFY(TestFiles::write(AppSettings::cfgDir() + "/rel.cfg", R"({"app":{"language":"en_US"}})"));
    AppSettings settings = m_fresh();
    settings.loadConfigFile("rel.cfg");
    QCOMPARE(settings.language, QStringLiteral("en_US"));

    AppSettings::setConfigFileName("rel.cfg");
    QCOMPARE(AppSettings::configFileName(), AppSettings::cfgDir() + "/rel.cfg");
    QCOMPARE(startupTarget(), AppSettings::cfgDir() + "/rel.cfg");

    AppSettings::setConfigFileName(QString());
    QCOMPARE(AppSettings::configFileName(), QString());
    QCOMPARE(startupTarget(), AppSettings::cfgDir() + "/rel.cfg");
}

QTEST_GUILESS_MAIN(TestAppSettings)
#include "tst_appsettings.moc"
