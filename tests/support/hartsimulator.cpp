#include "hartsimulator.h"

#include "hartsimframe.h"

#include <QDebug>

#include <errno.h>
#include <fcntl.h>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

// An incomplete frame is dropped after this much quiet, so a broken request cannot hide the next.
constexpr int partialFrameQuietMs = 200;
constexpr quint8 notImplemented = 64;

HartSimResponse identity(HartSimDevice &device, const QByteArray &)
{
    HartSimResponse response;
    response.data = device.identityData();
    return response;
}

} // namespace

HartSimulator::HartSimulator()
{
    m_clock.start();
    m_handlers.insert(0, identity);

    char name[256] = {};
    if (::openpty(&m_masterFd, &m_slaveFd, name, nullptr, nullptr) != 0) {
        qWarning("HartSimulator: openpty failed: %s", strerror(errno));
        m_masterFd = m_slaveFd = -1;
        return;
    }
    m_portName = QString::fromLocal8Bit(name);

    // Raw from the start: no echo, no line editing, all eight bits, whatever the program sets later.
    termios tio;
    if (::tcgetattr(m_slaveFd, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(m_slaveFd, TCSANOW, &tio);
    }
    if (::pipe2(m_stopPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        qWarning("HartSimulator: pipe failed: %s", strerror(errno));
    ::fcntl(m_masterFd, F_SETFD, FD_CLOEXEC);
    ::fcntl(m_slaveFd, F_SETFD, FD_CLOEXEC);

    m_thread = std::thread(&HartSimulator::serve, this);
}

HartSimulator::~HartSimulator()
{
    m_stopping = true;
    if (m_stopPipe[1] >= 0) {
        const char byte = 0;
        (void)::write(m_stopPipe[1], &byte, 1);
    }
    if (m_thread.joinable())
        m_thread.join();
    for (int fd : {m_masterFd, m_slaveFd, m_stopPipe[0], m_stopPipe[1]}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void HartSimulator::addDevice(const HartSimDevice &device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.append(device);
}

void HartSimulator::removeDevices()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.clear();
}

HartSimDevice HartSimulator::device(quint8 pollingAddress) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const HartSimDevice &device : m_devices) {
        if (device.pollingAddress == pollingAddress)
            return device;
    }
    return HartSimDevice();
}

void HartSimulator::updateDevice(quint8 pollingAddress, const std::function<void(HartSimDevice &)> &change)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (HartSimDevice &device : m_devices) {
        if (device.pollingAddress == pollingAddress)
            change(device);
    }
}

void HartSimulator::setHandler(quint8 command, const Handler &handler)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handlers.insert(command, handler);
}

void HartSimulator::setFaults(const HartSimFaults &faults)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults = faults;
}

HartSimFaults HartSimulator::faults() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults;
}

void HartSimulator::setProgramOutputStopped(bool stopped)
{
    if (m_slaveFd >= 0 && ::tcflow(m_slaveFd, stopped ? TCOOFF : TCOON) != 0)
        qWarning("HartSimulator: tcflow failed: %s", strerror(errno));
}

QList<HartSimRequest> HartSimulator::requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

int HartSimulator::requestCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_requests.size());
}

void HartSimulator::clearRequests()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_requests.clear();
}

int HartSimulator::repliesSent() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_repliesSent;
}

void HartSimulator::inject(const QByteArray &bytes)
{
    writeAll(bytes);
}

int HartSimulator::pendingInput() const
{
    int count = 0;
    if (m_slaveFd < 0 || ::ioctl(m_slaveFd, FIONREAD, &count) != 0)
        return 0;
    return count;
}

void HartSimulator::serve()
{
    QByteArray buffer;
    while (!m_stopping && isValid()) {
        pollfd fds[2] = {{m_stopPipe[0], POLLIN, 0}, {m_masterFd, POLLIN, 0}};
        const int timeout = buffer.isEmpty() ? -1 : partialFrameQuietMs;
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[0].revents)
            break;
        if (ready == 0) {
            buffer.clear();
            continue;
        }
        if (!(fds[1].revents & POLLIN))
            continue;

        char chunk[4096];
        const ssize_t count = ::read(m_masterFd, chunk, sizeof chunk);
        if (count <= 0)
            continue;
        buffer.append(chunk, int(count));

        HartSimRequest request;
        while (HartSimFrame::takeRequest(buffer, request) == HartSimFrame::Scan::Frame)
            handleRequest(request);
    }
}

void HartSimulator::handleRequest(HartSimRequest &request)
{
    request.receivedAtMs = elapsedMs();
    HartSimFaults faults;
    QByteArray reply;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        faults = m_faults;
        if (request.checksumOk && !faults.silent)
            reply = answer(request, faults);
        request.answered = !reply.isEmpty();
        m_requests.append(request);
    }
    if (reply.isEmpty())
        return;
    sendReply(reply, faults);
}

// Runs under m_mutex.
QByteArray HartSimulator::answer(const HartSimRequest &request, const HartSimFaults &faults)
{
    for (HartSimDevice &device : m_devices) {
        if (!device.answersTo(request))
            continue;
        if (!faults.rawReply.isEmpty())
            return faults.rawReply;

        HartSimResponse response;
        const auto handler = m_handlers.constFind(request.command);
        if (handler == m_handlers.constEnd())
            response.responseCode = notImplemented;
        else
            response = (*handler)(device, request.data);
        if (response.silent)
            continue;   // another device on the line may answer a broadcast

        quint8 status = response.deviceStatus | device.deviceStatus;
        if (faults.responseCode >= 0)
            response.responseCode = quint8(faults.responseCode);
        if (faults.deviceStatus >= 0)
            status = quint8(faults.deviceStatus);
        QByteArray address = request.address;
        if (faults.wrongAddress)
            address[address.size() - 1] = char(quint8(address.back()) ^ 0x01);
        const quint8 command = faults.wrongCommand ? quint8(request.command + 1) : request.command;
        const int preambles = faults.replyPreambles >= 0 ? faults.replyPreambles : device.replyPreambles;

        QByteArray reply = HartSimFrame::buildReply(preambles, address, command, response.responseCode,
                                                    status, response.data);
        if (faults.badChecksum)
            reply[reply.size() - 1] = char(~quint8(reply.back()));
        return faults.noise + reply;
    }
    return QByteArray();
}

void HartSimulator::sendReply(const QByteArray &reply, const HartSimFaults &faults)
{
    if (!pause(faults.replyDelayMs))
        return;
    const int chunk = faults.chunkSize > 0 ? faults.chunkSize : int(reply.size());
    for (int offset = 0; offset < reply.size(); offset += chunk) {
        if (offset > 0 && !pause(faults.chunkGapMs))
            return;
        writeAll(reply.mid(offset, chunk));
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_repliesSent;
    }

    QElapsedTimer babble;
    babble.start();
    while (babble.elapsed() < faults.babbleMs) {
        if (!pause(faults.babbleGapMs))
            return;
        writeAll(QByteArray(qMax(faults.babbleChunk, 1), '\0'));
    }
}

void HartSimulator::writeAll(const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0 && !m_stopping) {
        const ssize_t written = ::write(m_masterFd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            qWarning("HartSimulator: write failed: %s", strerror(errno));
            return;
        }
        data += written;
        left -= written;
    }
}

bool HartSimulator::pause(int ms)
{
    if (ms <= 0)
        return !m_stopping;
    pollfd stop{m_stopPipe[0], POLLIN, 0};
    QElapsedTimer timer;
    timer.start();
    while (!m_stopping) {
        const qint64 left = ms - timer.elapsed();
        if (left <= 0)
            return true;
        ::poll(&stop, 1, int(left));
    }
    return false;
}
