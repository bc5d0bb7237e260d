#pragma once

#include <QByteArray>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// The program's settings: the folder layout under the working folder, the start-up file that
// names the configuration file, and the "app" record of that file. The singleton lives until
// the process ends; the settings dialog works on copies of the record.
class AppSettings
{
public:
    static AppSettings *instance();

    static QString baseDir();
    static QString cfgDir();
    static QString logDir();
    static QString archivesDir();
    static QString logFileName();
    static QString templatesDir();
    static QString testsDir();
    static QString templatesResource();
    static QString templateExtension();
    static QString configFileName();
    static QString startupFileName();
    static QString defaultConfigFileName();

    static void setConfigFileName(const QString &fileName);
    static void createDefaultConfig();

    void setLogViewLinesLimit(int limit);

    bool loadConfigFile(const QString &fileName);
    bool saveConfigFile();
    bool loadStartup();

    QStringList logFlags;
    bool logFileEnabled = false;
    bool addComments = false;
    bool applyCss = false;
    QFont font;
    QVariantMap server;
    QString testsPath;
    QString language;
    QByteArray geometry;
    QByteArray splitter;
    QString currentItem;
    int logViewLinesLimit = 1000;
    bool primaryMaster = true;

private:
    AppSettings();
    static void computePaths();
};
