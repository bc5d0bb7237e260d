#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// One HART frame of the master side: a request to send or a reply to parse.
//
// A request is built with one of the address constructors and written with toByteArray().
// A reply is default-constructed, filled by fromByteArray(), matched against its request with
// request.checkAnswer(reply) and judged with reply.checkStatus(). Every check that fails returns
// false and leaves a translated reason in errorText() of the frame it ran on.
class HartCommand : public QObject
{
    Q_OBJECT

public:
    // The byte count of a frame is one byte: status and data together cannot exceed this.
    static constexpr int MaxByteCount = 255;

    // A frame for a reply to be parsed (until then: 5 preambles, address 0x80, command 0).
    explicit HartCommand(QObject *parent = nullptr);
    // A short-frame request to a polling address.
    HartCommand(QObject *parent, qint32 preamblesCount, quint8 pollingAddress, quint8 command,
                const QByteArray &data, bool primaryMaster);
    // A long-frame request to a 5-byte unique address; other lengths are normalised by init().
    HartCommand(QObject *parent, qint32 preamblesCount, const QByteArray &address, quint8 command,
                const QByteArray &data, bool primaryMaster);
    ~HartCommand() override;

    // Sets every field of a request. An address of 1 to 4 bytes is cut to its first byte, a longer
    // one to 5 bytes, an empty one becomes a single byte; the master bit is set from primaryMaster
    // and the burst bit cleared. Data that would overflow the byte count make the frame
    // unbuildable: errorText() says why and toByteArray() stays empty.
    void init(qint32 preamblesCount, const QByteArray &address, quint8 command, const QByteArray &data,
              bool primaryMaster);

    qint32 preamblesCount() const { return m_preamblesCount; }
    quint8 delimiter() const { return m_delimiter; }
    quint8 command() const { return m_command; }
    const QByteArray &address() const { return m_address; }
    const QByteArray &data() const { return m_data; }
    const QByteArray &status() const { return m_status; }
    const QStringList &statusTexts() const { return m_statusTexts; }
    const QString &errorText() const { return m_errorText; }
    // Parser state: 8 after a complete reply; restarted when noise or a bad preamble run was skipped.
    qint32 step() const { return m_step; }
    bool restarted() const { return m_restarted; }

    // Parts of a 5-byte address; 0 or empty for a short frame.
    quint8 manufacturerIdByte() const;
    quint8 deviceTypeByte() const;
    QByteArray deviceIdBytes() const;

    // The frame with 0 in place of the checksum; empty when the frame cannot be built.
    QByteArray toByteArrayNoChecksum() const;
    // The complete frame as it goes on the line; empty when the frame cannot be built (too many
    // data bytes), in which case nothing must be sent and errorText() holds the reason.
    QByteArray toByteArray() const;
    // XOR of the bytes after this frame's preambles, up to but not including the last byte.
    quint8 calculateChecksum(const QByteArray &frame) const;
    bool IsChecksumCorrect(quint8 checksum) const;

    // Parses received bytes into this frame; true when one complete reply with a correct checksum
    // was found. With ackOnly, frames that do not start with an acknowledge delimiter are skipped.
    bool fromByteArray(const QByteArray &bytes, bool ackOnly);
    bool ParseByte(quint8 byte);
    void resetParser();

    // Called on the request: does the parsed reply answer it (delimiters, command, address)?
    bool checkAnswer(const HartCommand &reply);

    // Called on the reply: the verdict on its response code and device status. Fills
    // statusTexts() and, for a failure or a response code, errorText().
    bool checkStatus();

private:
    bool ParsePreamble(quint8 byte);
    bool ParseStartDelimiter(quint8 byte);
    bool ParseAddress(quint8 byte);
    bool ParseCommand(quint8 byte);
    bool ParseDataLength(quint8 byte);
    bool ParseData(quint8 byte);
    bool ParseChecksum(quint8 byte);
    bool startOver();

    void addCommunicationErrors(quint8 errors);
    void addDeviceStatus(quint8 deviceStatus);
    bool addResponseCode(quint8 code);

    qint32 m_step = 0;
    qint32 m_counter = 0;
    qint32 m_preamblesCount = 0;
    quint8 m_delimiter = 0;
    quint8 m_command = 0;
    QByteArray m_address;
    bool m_restarted = false;
    bool m_ackOnly = false;
    QByteArray m_data;
    QByteArray m_status;
    QStringList m_statusTexts;
    QString m_errorText;
};

// HART sends multi-byte values most significant byte first; these reorder bytes between the
// line's order and the processor's.

// Each consecutive group of groupSize bytes reversed in place; empty when the size is not a
// multiple of groupSize (or groupSize is below 1).
QByteArray reverseByteGroups(const QByteArray &source, qint32 groupSize);
// result[i] = source[digit i of pattern]; positions past the pattern keep the source's bytes.
// Empty when the pattern is longer than the source or holds anything but digits below its size.
QByteArray mapBytesByDigits(const QByteArray &source, const QString &pattern);
// Neighbouring characters exchanged; an odd text is first padded with the character 0.
QString swapCharPairs(const QString &text);
