#pragma once

#include <QByteArray>
#include <QString>

// Small file helpers for tests: write a file (creating its folder) and read one back.
namespace TestFiles {

bool write(const QString &name, const QByteArray &bytes);
QByteArray read(const QString &name);

} // namespace TestFiles
