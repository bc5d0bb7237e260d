#pragma once

#include <QString>
#include <QTemporaryDir>

// Runs a test in a fresh, empty working folder and returns to the previous one afterwards.
class TempWorkDir
{
public:
    TempWorkDir();
    ~TempWorkDir();

    TempWorkDir(const TempWorkDir &) = delete;
    TempWorkDir &operator=(const TempWorkDir &) = delete;

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
