#include "core/qjsonsettings.h"

#include "core/debugqtstream.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonParseError>
#include <QStringList>

namespace {

int lineOfOffset(const QByteArray &data, int offset)
{
    return int(data.left(offset).count('\n')) + 1;
}

// Parses one JSON document. QJsonDocument takes only an object or an array, so a text that
// fails is tried once more inside brackets: exactly one element there is a document whose top
// level is a plain value; two or more values joined by commas are no document at all.
bool parseDocument(const QByteArray &data, QJsonDocument *document, QJsonParseError *error)
{
    *document = QJsonDocument::fromJson(data, error);
    if (error->error == QJsonParseError::NoError)
        return true;
    QJsonParseError wrappedError;
    const QJsonDocument wrapped = QJsonDocument::fromJson('[' + data + ']', &wrappedError);
    if (wrappedError.error != QJsonParseError::NoError || wrapped.array().size() != 1)
        return false;
    *document = QJsonDocument();
    return true;
}

// Whether a file holds what the format writes: one document whose top level is an object.
// An empty file holds nothing worth keeping and counts as one.
bool holdsObjectDocument(const QByteArray &data)
{
    if (data.trimmed().isEmpty())
        return true;
    QJsonDocument document;
    QJsonParseError error;
    return parseDocument(data, &document, &error) && document.isObject();
}

QByteArray fileContent(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The copies already kept of a file: "<name>.bak" and the time-stamped "<name>.<time>.bak".
QStringList keptCopies(const QString &original)
{
    const QFileInfo info(original);
    QStringList copies;
    const QStringList names = info.dir().entryList({info.fileName() + QStringLiteral(".bak"),
                                                    info.fileName() + QStringLiteral(".*.bak")},
                                                   QDir::Files | QDir::Hidden);
    for (const QString &name : names)
        copies << info.dir().filePath(name);
    return copies;
}

// A file that does not hold one JSON object would be lost to the write about to replace it:
// it is kept beside itself first, once for each content.
void keepUnreadableFile(const QString &original)
{
    if (!QFileInfo(original).isFile())
        return; // nothing there yet, or a device that is no settings file
    const QByteArray content = fileContent(original);
    if (holdsObjectDocument(content))
        return;
    const QStringList copies = keptCopies(original);
    for (const QString &copy : copies) {
        if (fileContent(copy) == content)
            return; // already kept
    }
    QString backup = original + QStringLiteral(".bak");
    if (QFileInfo::exists(backup))
        backup = original + QStringLiteral(".%1.bak").arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz")));
    if (QFile::copy(original, backup))
        DEBUGQT_LOG(2) << "*** unreadable settings file kept as" << backup;
    else
        DEBUGQT_LOG(1) << "*** could not keep a copy of the unreadable settings file" << original;
}

} // namespace

bool jsonReadFunc(QIODevice &device, QSettings::SettingsMap &map)
{
    const QByteArray data = device.readAll();
    if (data.trimmed().isEmpty()) {
        map.clear();
        return true;
    }
    QJsonDocument document;
    QJsonParseError error;
    if (!parseDocument(data, &document, &error)) {
        DEBUGQT_LOG(1) << "parse error at line: " << lineOfOffset(data, error.offset) << " ["
                       << error.errorString() << "]";
        return false;
    }
    // A document whose top level is not an object holds no keys.
    map = document.isObject() ? document.object().toVariantMap() : QSettings::SettingsMap();
    return true;
}

bool jsonWriteFunc(QIODevice &device, const QSettings::SettingsMap &map)
{
    // QSettings writes through a QSaveFile: the file it replaces is still there to be kept.
    if (auto *file = qobject_cast<QFileDevice *>(&device); file && !file->fileName().isEmpty())
        keepUnreadableFile(file->fileName());
    const QByteArray bytes = QJsonDocument(QJsonObject::fromVariantMap(map)).toJson(QJsonDocument::Compact);
    return device.write(bytes) == bytes.size();
}

QSettings::Format QJsonSettings::jsonFormat()
{
    // Registered once per process, on the first call, whichever thread makes it.
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("json"), jsonReadFunc, jsonWriteFunc, Qt::CaseSensitive);
    return format;
}

QJsonSettings::QJsonSettings(const QString &fileName, QObject *parent)
    : QSettings(fileName, jsonFormat(), parent)
{
}

QJsonSettings::QJsonSettings(const QString &organization, const QString &application, QObject *parent)
    : QSettings(jsonFormat(), QSettings::UserScope, organization, application, parent)
{
}

QJsonSettings::~QJsonSettings() = default;

bool QJsonSettings::writeNow()
{
    sync();
    switch (status()) {
    case QSettings::NoError:
    case QSettings::FormatError: {
        // The file itself tells the outcome: a written file holds one object. The status keeps
        // its first error, so a file that did not parse when it was read hides this write's
        // outcome, and a full disk can cut the file short without any error at all.
        const QByteArray content = fileContent(fileName());
        return !content.trimmed().isEmpty() && holdsObjectDocument(content);
    }
    default:
        return false;
    }
}
