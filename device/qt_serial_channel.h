#pragma once

#include "port_map.h"
#include "serial_channel.h"

#include <QSerialPort>

// The serial channel on QSerialPort: 2400 baud, 8N1, no flow control,
// a receive buffer of 1024 bytes, bytes carried as Latin-1 text.
class QtSerialChannel : public SerialChannel
{
    Q_OBJECT

public:
    static constexpr qint32 BaudRate = 2400;
    static constexpr qint64 ReceiveBufferSize = 1024;

    explicit QtSerialChannel(const PortMap &ports = PortMap(), QObject *parent = nullptr);
    ~QtSerialChannel() override;

    bool isOpen() const override;
    bool open() override;
    void close() override;
    void setPortNumber(qint16 port) override;
    qint16 portNumber() const override;
    bool write(const QByteArray &text) override;
    QByteArray readAll() override;

    // The device in use while open, else the one the port number points at now.
    QString deviceName() const override;
    QStringList describePorts() const override;
    // What a loss is reported with; osText is the system's reason.
    static QString lostMessage(qint16 port, const QString &device, const QString &osText);

private:
    void onPortError(QSerialPort::SerialPortError error);
    void settleLoss();
    // True when it took in bytes.
    bool takeIn();
    void dropReceived();
    void reportOpenFailure(const QString &path, qint64 lockHolder);
    void report(Failure failure, const QString &message);

    PortMap m_ports;
    QSerialPort m_port;
    QByteArray m_received;   // taken in since the last read, at most ReceiveBufferSize
    QString m_device;        // what the port number pointed at when last opened
    qint16 m_portNumber = 1;
    bool m_lossPending = false;
    QString m_lossReason;
};
