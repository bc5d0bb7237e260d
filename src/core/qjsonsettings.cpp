#include "core/qjsonsettings.h"

#include "core/debugqtstream.h"

#include <QDateTime>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

#include <atomic>

namespace {

std::atomic<int> s_jsonFormat{QSettings::InvalidFormat};

int lineOfOffset(const QByteArray &data, int offset)
{
    return int(data.left(offset).count('\n')) + 1;
}

bool sameContent(const QString &first, const QString &second)
{
    QFile a(first);
    QFile b(second);
    return a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.readAll() == b.readAll();
}

// A file that does not parse is kept beside itself before anything may replace it.
void keepUnreadableFile(QIODevice &device)
{
    auto *file = qobject_cast<QFileDevice *>(&device);
    if (!file || file->fileName().isEmpty())
        return;
    const QString original = file->fileName();
    QString backup = original + QStringLiteral(".bak");
    if (sameContent(original, backup))
        return; // already kept
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
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        // A valid document whose top level is a plain value (a number, a text) holds no keys.
        QJsonParseError wrappedError;
        QJsonDocument::fromJson('[' + data + ']', &wrappedError);
        if (wrappedError.error == QJsonParseError::NoError) {
            map.clear();
            return true;
        }
        DEBUGQT_LOG(1) << "parse error at line: " << lineOfOffset(data, error.offset) << " [" << error.errorString()
                       << "]";
        keepUnreadableFile(device);
        return false;
    }
    // A document whose top level is not an object holds no keys.
    map = document.isObject() ? document.object().toVariantMap() : QSettings::SettingsMap();
    return true;
}

bool jsonWriteFunc(QIODevice &device, const QSettings::SettingsMap &map)
{
    const QByteArray bytes = QJsonDocument(QJsonObject::fromVariantMap(map)).toJson(QJsonDocument::Compact);
    return device.write(bytes) == bytes.size();
}

QSettings::Format QJsonSettings::jsonFormat()
{
    int format = s_jsonFormat.load();
    if (format == QSettings::InvalidFormat) {
        format = QSettings::registerFormat(QStringLiteral("json"), jsonReadFunc, jsonWriteFunc, Qt::CaseSensitive);
        s_jsonFormat.store(format);
    }
    return QSettings::Format(format);
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
