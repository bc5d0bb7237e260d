#include "core/appsettings.h"

#include "core/debugqtstream.h"
#include "core/qjsonsettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <limits>

namespace {

const QString kStartupName = QStringLiteral("startup.cfg");
const QString kDefaultConfigName = QStringLiteral("tenvara.cfg");
const QString kLogName = QStringLiteral("tenvara.log");
const QString kTemplateExtension = QStringLiteral("tpl");
const QString kTemplatesResource = QStringLiteral(":/templates");
const QString kDefaultConfigResource = QStringLiteral(":cfg/tenvara.cfg");

struct Paths
{
    QString base, cfg, log, archives, logFile, templates, tests, startup, defaultConfig, config;
};

Paths &paths()
{
    static Paths s_paths;
    return s_paths;
}

QString join(const QString &folder, const QString &name)
{
    return folder + QDir::separator() + name;
}

QString createdFolder(const QString &path)
{
    QDir().mkpath(path);
    return path;
}

QString resolvedConfigName(const QString &fileName)
{
    return QFileInfo(fileName).isRelative() ? join(paths().cfg, fileName) : fileName;
}

// The startup file names the configuration to load at the next start.
void rememberConfigFile(const QString &fileName)
{
    QJsonSettings startup(paths().startup);
    startup.setValue(QStringLiteral("cfg_filename"), fileName);
}

bool isList(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantList || value.typeId() == QMetaType::QStringList;
}

// Stored numbers come back from JSON as whole numbers or doubles; anything else is no number.
bool readWholeNumber(const QVariant &value, qlonglong *number)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
        *number = value.toLongLong();
        return true;
    case QMetaType::ULongLong:
        if (value.toULongLong() > quint64(std::numeric_limits<qlonglong>::max()))
            return false;
        *number = value.toLongLong();
        return true;
    case QMetaType::Double: {
        // Only a whole number inside the qlonglong range may be converted: anything else
        // (1e19, infinity, a fraction) is no whole number.
        const double real = value.toDouble();
        constexpr double limit = 9223372036854775808.0; // 2^63
        if (!std::isfinite(real) || real < -limit || real >= limit || std::trunc(real) != real)
            return false;
        *number = qlonglong(real);
        return true;
    }
    default:
        return false;
    }
}

} // namespace

AppSettings *AppSettings::instance()
{
    static AppSettings *s_instance = new AppSettings;
    return s_instance;
}

AppSettings::AppSettings()
{
    computePaths();
}

void AppSettings::computePaths()
{
    Paths &p = paths();
    p.base = QDir(QStringLiteral("./")).absolutePath();
    p.cfg = join(p.base, QStringLiteral("cfg"));
    p.log = join(p.base, QStringLiteral("log"));
    p.archives = join(p.base, QStringLiteral("archives"));
    p.logFile = join(p.log, kLogName);
    p.templates = join(p.base, QStringLiteral("templates"));
    p.tests = join(p.base, QStringLiteral("tests"));
    p.startup = join(p.cfg, kStartupName);
    p.defaultConfig = join(p.cfg, kDefaultConfigName);
    p.config.clear();
}

QString AppSettings::baseDir() { return paths().base; }
QString AppSettings::cfgDir() { return paths().cfg; }
QString AppSettings::logDir() { return paths().log; }
QString AppSettings::archivesDir() { return createdFolder(paths().archives); }
QString AppSettings::logFileName() { return paths().logFile; }
QString AppSettings::templatesDir() { return createdFolder(paths().templates); }
QString AppSettings::testsDir() { return createdFolder(paths().tests); }
QString AppSettings::templatesResource() { return kTemplatesResource; }
QString AppSettings::templateExtension() { return kTemplateExtension; }
QString AppSettings::configFileName() { return paths().config; }
QString AppSettings::startupFileName() { return paths().startup; }
QString AppSettings::defaultConfigFileName() { return paths().defaultConfig; }

void AppSettings::setLogViewLinesLimit(int limit)
{
    if (limit >= 1 && limit <= 9999)
        logViewLinesLimit = limit;
}

void AppSettings::setConfigFileName(const QString &fileName)
{
    if (fileName.isEmpty()) {
        paths().config.clear();
        return;
    }
    paths().config = resolvedConfigName(fileName);
    rememberConfigFile(paths().config);
}

void AppSettings::createDefaultConfig()
{
    const Paths &p = paths();
    QDir().mkpath(p.cfg);
    // Never overwrite a configuration that is already there.
    if (!QFileInfo::exists(p.defaultConfig) && QFile::copy(kDefaultConfigResource, p.defaultConfig)) {
        // A copy from the resources is read-only; the user must be able to save over it.
        QFile::setPermissions(p.defaultConfig, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup
                                                   | QFile::ReadOther);
    }
    rememberConfigFile(p.defaultConfig);
}

bool AppSettings::loadConfigFile(const QString &fileName)
{
    // A relative name means a file in the cfg folder, for reading as for the later save.
    const QString resolved = resolvedConfigName(fileName);
    QJsonSettings file(resolved);
    const QVariant srv = file.value(QStringLiteral("srv"));
    server = srv.typeId() == QMetaType::QVariantMap ? srv.toMap() : QVariantMap();
    const QVariantMap app = file.value(QStringLiteral("app")).toMap();

    logFileEnabled = app.value(QStringLiteral("log_file_enabled")).toBool();
    const QVariant flags = app.value(QStringLiteral("log_flags"));
    logFlags = isList(flags) ? flags.toStringList() : QStringList();
    const QString fontText = app.value(QStringLiteral("font")).toString();
    if (!fontText.isEmpty() && !fontText.startsWith(QLatin1Char(','))) // a font without family is no font
        font.fromString(fontText);
    geometry = QByteArray::fromBase64(app.value(QStringLiteral("geometry")).toString().toLatin1());
    splitter = QByteArray::fromBase64(app.value(QStringLiteral("splitter")).toString().toLatin1());
    currentItem = app.value(QStringLiteral("current_item")).toString();
    language = app.value(QStringLiteral("language")).toString();
    testsPath = app.value(QStringLiteral("tests_path")).toString();
    if (testsPath.isEmpty())
        testsPath = paths().tests;
    if (language.isEmpty())
        language = QStringLiteral("ru_RU");
    const auto master = app.constFind(QStringLiteral("primary_master"));
    primaryMaster = master != app.constEnd() ? master->toBool() : true;
    qlonglong limit = 0;
    if (readWholeNumber(app.value(QStringLiteral("log_view_lines_limit")), &limit) && limit >= 1 && limit <= 9999)
        logViewLinesLimit = int(limit);

    setConfigFileName(resolved);
    return true;
}

bool AppSettings::saveConfigFile()
{
    const QString fileName = paths().config;
    {
        QJsonSettings file(fileName);
        file.setValue(QStringLiteral("srv"), server);
        const QVariantMap app{
            {QStringLiteral("log_flags"), logFlags},
            {QStringLiteral("language"), language},
            {QStringLiteral("geometry"), QString::fromLatin1(geometry.toBase64())},
            {QStringLiteral("splitter"), QString::fromLatin1(splitter.toBase64())},
            {QStringLiteral("current_item"), currentItem},
            {QStringLiteral("font"), font.toString()},
            {QStringLiteral("primary_master"), primaryMaster},
            {QStringLiteral("tests_path"), testsPath.isEmpty() ? paths().tests : testsPath},
            // Written back as read, so a restart keeps them.
            {QStringLiteral("log_file_enabled"), logFileEnabled},
            {QStringLiteral("log_view_lines_limit"), logViewLinesLimit},
        };
        file.setValue(QStringLiteral("app"), app);
        if (!file.writeNow()) {
            DEBUGQT_LOG(1) << "*** cannot write the configuration file" << fileName;
            return false;
        }
    }
    rememberConfigFile(fileName);
    return true;
}

bool AppSettings::loadStartup()
{
    if (!QFileInfo::exists(paths().startup))
        createDefaultConfig();
    QString fileName = QJsonSettings(paths().startup).value(QStringLiteral("cfg_filename")).toString();
    if (fileName.isEmpty() || !QFileInfo::exists(fileName)) {
        createDefaultConfig();
        fileName = paths().defaultConfig;
    }
    return loadConfigFile(fileName);
}
