#include "hartport.h"

#include "debugqtstream.h"
#include "utils.h"

namespace {

constexpr int MaxPackedCharacters = 32;
constexpr int MaxPackedBytes = 24;

// The 8-bit code of every character; 0 for characters outside Latin-1 (never '?').
QByteArray latin1Codes(const QString &text)
{
    QByteArray codes;
    codes.reserve(text.size());
    for (const QChar character : text)
        codes.append(character.toLatin1());
    return codes;
}

} // namespace

HartPort::HartPort(QObject *parent)
    : QObject(parent)
{
}

QByteArray HartPort::packAscii(const QString &text) const
{
    const QByteArray codes = latin1Codes(text);
    DEBUGQT_LOG(4) << "ASCII to pack: " << text;
    DEBUGQT_LOG(4) << Utils::bufferToHex(codes);
    if (text.size() > MaxPackedCharacters) {
        DEBUGQT_LOG(4) << "*** string is too long ( > 32)!";
        return QByteArray();
    }

    QByteArray packed;
    for (qsizetype first = 0; first < codes.size(); first += 4) {
        const qsizetype count = qMin<qsizetype>(4, codes.size() - first);
        quint32 bits = 0;
        for (qsizetype k = 0; k < 4; ++k) {
            const quint32 code = k < count ? quint8(codes.at(first + k)) & 0x3F : 0;
            bits = (bits << 6) | code;
        }
        // A short last group gives only the bytes its characters reach into.
        const qsizetype bytes = count == 4 ? 3 : count;
        for (qsizetype k = 0; k < bytes; ++k)
            packed.append(char((bits >> (16 - 8 * k)) & 0xFF));
    }
    DEBUGQT_LOG(4) << "result: " << Utils::bufferToHex(packed);
    return packed;
}

QString HartPort::unpackAscii(const QByteArray &bytes) const
{
    DEBUGQT_LOG(4) << "buffer to unpack: " << Utils::bufferToHex(bytes);
    if (bytes.size() > MaxPackedBytes) {
        DEBUGQT_LOG(4) << "*** buffer is too long ( > 24)!";
        return QString();
    }

    qsizetype used = bytes.size();
    while (used > 0 && bytes.at(used - 1) == '\0')
        --used;

    QString text;
    for (qsizetype first = 0; first < used; first += 3) {
        const qsizetype count = qMin<qsizetype>(3, used - first);
        quint32 bits = 0;
        for (qsizetype k = 0; k < 3; ++k)
            bits = (bits << 8) | (k < count ? quint8(bytes.at(first + k)) : 0);
        // One byte holds one whole character, two bytes two, three bytes four.
        const qsizetype characters = count == 3 ? 4 : count;
        for (qsizetype k = 0; k < characters; ++k) {
            quint8 code = (bits >> (18 - 6 * k)) & 0x3F;
            if (!(code & 0x20))
                code += 0x40;
            text.append(QLatin1Char(char(code)));
        }
    }
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);

    DEBUGQT_LOG(4) << "result: " << text;
    DEBUGQT_LOG(4) << "buffer:" << Utils::bufferToHex(latin1Codes(text));
    return text;
}
