#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

// The one serial connection to the board. Line settings are fixed by the
// implementation; the program only picks the port, opens, closes, writes and
// reads. The window polls; received() tells a session at the line's pace that
// bytes came.
class SerialChannel : public QObject
{
    Q_OBJECT

public:
    enum class Failure {
        None,
        NoSuchDevice,
        PermissionDenied,
        Busy,            // held or locked by another program
        NotOpen,
        Lost,            // the device went away while open
        Other,
    };
    Q_ENUM(Failure)

    using QObject::QObject;

    virtual bool isOpen() const = 0;
    // False on failure; errorOccurred() has then been emitted.
    virtual bool open() = 0;
    // Closing a closed channel does nothing.
    virtual void close() = 0;
    // 1 or 2; ignored while open.
    virtual void setPortNumber(qint16 port) = 0;
    virtual qint16 portNumber() const = 0;
    // Hands exactly these bytes to the OS before returning. False (and
    // errorOccurred()) when the channel is not open or the write fails.
    virtual bool write(const QByteArray &text) = 0;
    // Everything waiting at this moment, possibly empty; never blocks.
    virtual QByteArray readAll() = 0;

    // What the failure reports and their advice name. The system device
    // behind the port number now; empty where it stands behind none.
    virtual QString deviceName() const { return {}; }
    // The system's serial ports, one line each, Com1 and Com2 marked; empty
    // where the channel's ports are not the system's.
    virtual QStringList describePorts() const { return {}; }

    // "Com1", "Com2": how the user knows the port.
    static QString portLabel(qint16 port) { return QStringLiteral("Com%1").arg(port); }
    // What a command with no port open is answered with, wherever it is caught.
    static QString notOpenMessage()
    {
        return tr("No port is open: pick Com1 or Com2 first.");
    }

signals:
    // One report per failure, with words meant for the user.
    void errorOccurred(SerialChannel::Failure failure, const QString &message);
    // Bytes came in: readAll() has them. A channel that cannot tell never
    // emits it, and a wait at the line's pace then ends at its deadline.
    void received();
};
