#pragma once

#include <QSettings>
#include <QVariantMap>

class QIODevice;

bool jsonReadFunc(QIODevice &device, QSettings::SettingsMap &map);
bool jsonWriteFunc(QIODevice &device, const QSettings::SettingsMap &map);

// A QSettings whose file is one JSON document.
class QJsonSettings : public QSettings
{
    Q_OBJECT

public:
    static QSettings::Format jsonFormat();

    explicit QJsonSettings(const QString &fileName, QObject *parent = nullptr);
    QJsonSettings(const QString &organization, const QString &application, QObject *parent = nullptr);
    ~QJsonSettings() override;

    // Writes pending changes at once; true when the file holds them, whatever the status says of
    // the file as it was read.
    bool writeNow();
};
