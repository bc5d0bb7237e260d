#pragma once

#include <QApplication>
#include <QHash>
#include <QStringList>

class QDateTime;
class QDir;
class QTranslator;

// The program's QApplication: one translator per language, switched at run time, and style
// sheets read from a folder of "*.css" files.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);
    ~Application() override;

    static void loadTranslations(const QString &path);
    static void loadTranslatorsFromDir(const QDir &dir);
    static QString language();
    static QStringList languages();
    static QString dateTimeText(const QDateTime &dateTime);

    QString readAllFiles(const QString &path, const QStringList &filters);
    bool loadCss();

public slots:
    static void setLanguage(const QString &locale);

private:
    static QHash<QString, QTranslator *> s_translators;
    static QString s_language;
    static QTranslator *s_translator;
    static QTranslator *s_qtTranslator;   // Qt's own texts (standard buttons) in that language
};
