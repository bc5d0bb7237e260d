#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The HART master of one serial line.
class HartPort : public QObject
{
    Q_OBJECT

public:
    explicit HartPort(QObject *parent = nullptr);

    // Tags, descriptors and messages travel as packed ASCII: six bits per character, four
    // characters in three bytes. Packing neither upper-cases nor pads; at most 32 characters, an
    // empty result means refused. Unpacking takes at most 24 bytes and drops trailing blanks.
    QByteArray packAscii(const QString &text) const;
    QString unpackAscii(const QByteArray &bytes) const;
};
