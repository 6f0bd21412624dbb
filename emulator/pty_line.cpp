#include "pty_line.h"

#include <QSocketNotifier>
#include <QStringList>

#include <cerrno>
#include <climits>
#include <cstring>
#include <pty.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

PtyLine::~PtyLine()
{
    close();
}

void PtyLine::close()
{
    // We may be inside a notifier's activation: disabled now, deleted with us.
    for (QSocketNotifier *n : {m_readNotifier, m_writeNotifier}) {
        if (n)
            n->setEnabled(false);
    }
    if (m_slaveKeeper >= 0)
        ::close(m_slaveKeeper);
    if (m_master >= 0)
        ::close(m_master);
    m_slaveKeeper = m_master = -1;
    m_pending.clear();
}

bool PtyLine::open()
{
    // Raw bytes both ways and no echo, as a real 2400 8N1 line would carry.
    termios tio{};
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, B2400);
    ::cfsetospeed(&tio, B2400);
    char name[PATH_MAX] = {};
    if (::openpty(&m_master, &m_slaveKeeper, name, &tio, nullptr) != 0) {
        m_error = QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    for (const int fd : {m_master, m_slaveKeeper}) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    m_path = QString::fromLocal8Bit(name);

    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLine::onReadable);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyLine::writePending);
    return true;
}

QString PtyLine::settings() const
{
    termios tio{};
    if (m_slaveKeeper < 0 || ::tcgetattr(m_slaveKeeper, &tio) != 0)
        return {};
    static const std::pair<speed_t, int> speeds[] = {
        {B1200, 1200}, {B2400, 2400}, {B4800, 4800}, {B9600, 9600}, {B19200, 19200},
        {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};
    int baud = 0;
    for (const auto &[code, value] : speeds) {
        if (::cfgetospeed(&tio) == code)
            baud = value;
    }
    const tcflag_t size = tio.c_cflag & CSIZE;
    const int bits = size == CS8 ? 8 : size == CS7 ? 7 : size == CS6 ? 6 : 5;
    const char parity = !(tio.c_cflag & PARENB) ? 'N' : (tio.c_cflag & PARODD) ? 'O' : 'E';
    QStringList flow;
    if (tio.c_cflag & CRTSCTS)
        flow << QStringLiteral("RTS/CTS");
    if (tio.c_iflag & (IXON | IXOFF))
        flow << QStringLiteral("XON/XOFF");
    return QStringLiteral("%1 %2%3%4, %5")
        .arg(baud)
        .arg(bits)
        .arg(QLatin1Char(parity))
        .arg((tio.c_cflag & CSTOPB) ? 2 : 1)
        .arg(flow.isEmpty() ? QStringLiteral("no flow control") : flow.join(QLatin1Char('+')));
}

void PtyLine::onReadable()
{
    // One read per activation: the notifier fires again while more is waiting.
    char buffer[4096];
    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
    // End of file or EIO cannot come while m_slaveKeeper is open; should
    // anything like it come, stop reading rather than spin on the notifier.
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
        m_readNotifier->setEnabled(false);
    if (n > 0)
        emit received(QByteArray(buffer, n));
}

void PtyLine::write(const QByteArray &bytes)
{
    if (m_master < 0)
        return;
    m_pending.append(bytes.first(std::min(bytes.size(), maxPending - m_pending.size())));
    writePending();
}

void PtyLine::writePending()
{
    qsizetype done = 0;
    while (done < m_pending.size()) {
        const ssize_t n = ::write(m_master, m_pending.constData() + done, size_t(m_pending.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            done = m_pending.size();   // the line failed; what is left can never go
        break;
    }
    m_pending.remove(0, done);
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}
