#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;

// The board's end of a pseudo-terminal in raw mode: what the panel writes on
// the other end comes out of received(), and write() sends to it. Only the
// transport: no pacing, no parsing.
class PtyLine : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~PtyLine() override;

    // Opens the pair. False (and errorString()) on failure.
    bool open();
    // Both ends close at once: the panel's side sees a hang-up.
    void close();
    QString devicePath() const { return m_path; }   // the panel's side, e.g. "/dev/pts/4"
    QString errorString() const { return m_error; }
    // The line as the far end has set it, e.g. "2400 8N1, no flow control";
    // empty when closed.
    QString settings() const;

    // Writes what the pseudo-terminal takes now and the rest when it can,
    // holding at most maxPending bytes; the line failing drops what is left.
    void write(const QByteArray &bytes);

    static constexpr qsizetype maxPending = 4 * 1024 * 1024;

signals:
    void received(const QByteArray &bytes);

private:
    void onReadable();
    void writePending();

    int m_master = -1;
    // Our own handle on the panel's side, never read: while it is open the
    // master never sees a hang-up when the panel closes its side.
    int m_slaveKeeper = -1;
    QString m_path;
    QString m_error;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QByteArray m_pending;
};
