#include "core/application.h"

#include "core/appsettings.h"
#include "core/debugqtstream.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

QHash<QString, QTranslator *> Application::s_translators;
QString Application::s_language;
QTranslator *Application::s_translator = nullptr;
QTranslator *Application::s_qtTranslator = nullptr;

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

Application::~Application()
{
    // The translators are children of this object and go with it.
    s_translators.clear();
    s_translator = nullptr;
    s_qtTranslator = nullptr;
}

void Application::loadTranslations(const QString &path)
{
    loadTranslatorsFromDir(QDir(path));
}

void Application::loadTranslatorsFromDir(const QDir &dir)
{
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("*_*.qm")}, QDir::Files | QDir::Readable, QDir::Name);
    for (const QFileInfo &file : files) {
        const QStringList pieces = file.baseName().split(QLatin1Char('_'));
        if (pieces.size() < 2)
            continue; // "a.b_c.qm": the base name names no language
        const QString code = pieces.at(pieces.size() - 2).toLower() + QLatin1Char('_') + pieces.last().toUpper();
        auto *translator = new QTranslator(QCoreApplication::instance());
        if (translator->load(file.absoluteFilePath()))
            s_translators.insert(code, translator);
        else
            delete translator;
    }
}

QString Application::language()
{
    return s_language;
}

QStringList Application::languages()
{
    return s_translators.keys();
}

// A date and time inside a sentence, written the way the interface language writes them
// ("7 декабря 2026 г. 12:33:08"), not with Qt's fixed English day and month names.
QString Application::dateTimeText(const QDateTime &dateTime)
{
    const QLocale locale = s_language.isEmpty() ? QLocale() : QLocale(s_language);
    return locale.toString(dateTime.date(), QLocale::LongFormat) + QLatin1Char(' ')
        + locale.toString(dateTime.time(), QStringLiteral("HH:mm:ss"));
}

void Application::setLanguage(const QString &locale)
{
    // Installed again, the language in use would only make every widget of every open window
    // translate its texts once more; after a load that is every editor page.
    if (s_translator && locale == s_language)
        return;
    if (s_translator)
        QCoreApplication::removeTranslator(s_translator);
    s_translator = s_translators.value(locale);
    if (!s_translator)
        return;
    s_language = locale;
    QCoreApplication::installTranslator(s_translator);

    // Qt's own texts (the standard buttons of message boxes and dialogs) follow when the system
    // has them; without them those texts stay English.
    if (s_qtTranslator) {
        QCoreApplication::removeTranslator(s_qtTranslator);
        delete s_qtTranslator;
        s_qtTranslator = nullptr;
    }
    auto *qtTranslator = new QTranslator(QCoreApplication::instance());
    if (qtTranslator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        s_qtTranslator = qtTranslator;
        QCoreApplication::installTranslator(s_qtTranslator);
    } else {
        delete qtTranslator;
    }
}

QString Application::readAllFiles(const QString &path, const QStringList &filters)
{
    QString result;
    const QDir dir(path);
    if (!path.isEmpty() && dir.exists()) {
        const QStringList names =
            dir.entryList(filters, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Readable,
                          QDir::Name);
        for (const QString &name : names) {
            DEBUGQT_LOG(4) << name;
            QFile file(path + QDir::separator() + name);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            result += QCoreApplication::translate("QObject", file.readAll().constData());
        }
    }
    DEBUGQT_LOG(4) << result;
    return result;
}

bool Application::loadCss()
{
    DEBUGQT_LOG(4);
    const QStringList candidates{QStringLiteral("%1/css").arg(AppSettings::baseDir()),
                                 QStringLiteral("%1/css").arg(QDir::currentPath()), QStringLiteral(":/css")};
    QString folder;
    for (const QString &candidate : candidates) {
        if (!candidate.isEmpty() && QDir(candidate).exists()) {
            folder = candidate;
            break;
        }
    }
    if (folder.isEmpty())
        return false;
    DEBUGQT_LOG(4) << QStringLiteral("path='%1'").arg(folder).toUtf8().constData();
    setStyleSheet(readAllFiles(folder, {QStringLiteral("*.css")}));
    return true;
}
