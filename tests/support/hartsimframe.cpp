#include "hartsimframe.h"

namespace {

constexpr quint8 preamble = 0xFF;
constexpr quint8 shortRequest = 0x02;
constexpr quint8 longRequest = 0x82;

} // namespace

HartSimFrame::Scan HartSimFrame::takeRequest(QByteArray &buffer, HartSimRequest &request)
{
    const int size = int(buffer.size());
    int i = 0;
    while (i < size) {
        if (quint8(buffer.at(i)) != preamble) {
            ++i;
            continue;
        }
        const int runStart = i;
        while (i < size && quint8(buffer.at(i)) == preamble)
            ++i;
        if (i == size) {
            buffer.remove(0, runStart);
            return Scan::Partial;
        }
        const quint8 delimiter = quint8(buffer.at(i));
        if (i - runStart < 2 || (delimiter != shortRequest && delimiter != longRequest))
            continue;

        const int addressLength = delimiter == longRequest ? 5 : 1;
        const int countIndex = i + 1 + addressLength + 1;
        if (countIndex >= size) {
            buffer.remove(0, runStart);
            return Scan::Partial;
        }
        const int byteCount = quint8(buffer.at(countIndex));
        const int checkIndex = countIndex + 1 + byteCount;
        if (checkIndex >= size) {
            buffer.remove(0, runStart);
            return Scan::Partial;
        }

        request = HartSimRequest();
        request.preambleCount = i - runStart;
        request.delimiter = delimiter;
        request.address = buffer.mid(i + 1, addressLength);
        request.command = quint8(buffer.at(countIndex - 1));
        request.data = buffer.mid(countIndex + 1, byteCount);
        request.frame = buffer.mid(i, checkIndex + 1 - i);
        request.checksumOk = checkByte(buffer, i, checkIndex) == quint8(buffer.at(checkIndex));
        buffer.remove(0, checkIndex + 1);
        return Scan::Frame;
    }
    buffer.clear();
    return Scan::NoFrame;
}

QByteArray HartSimFrame::buildReply(int preambles, const QByteArray &address, quint8 command,
                                    quint8 responseCode, quint8 deviceStatus, const QByteArray &data)
{
    QByteArray reply(qMax(preambles, 0), char(preamble));
    const int start = int(reply.size());
    reply.append(char(address.size() == 5 ? 0x86 : 0x06));
    reply.append(address);
    reply.append(char(command));
    reply.append(char(quint8(data.size() + 2)));
    reply.append(char(responseCode));
    reply.append(char(deviceStatus));
    reply.append(data);
    reply.append(char(checkByte(reply, start, int(reply.size()))));
    return reply;
}

quint8 HartSimFrame::checkByte(const QByteArray &bytes, int from, int to)
{
    quint8 sum = 0;
    for (int i = from; i < to; ++i)
        sum ^= quint8(bytes.at(i));
    return sum;
}
