#include "pty_line.h"

#include <QSocketNotifier>

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
