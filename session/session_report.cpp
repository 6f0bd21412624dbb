#include "session_report.h"

#include "board_protocol.h"
#include "printable.h"

namespace {

QByteArray quoted(const QByteArray &text)
{
    QByteArray out = text;
    out.replace('"', "\"\"");
    return '"' + out + '"';
}

} // namespace

bool SessionReport::open(const QString &path)
{
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return put("seconds,line,step,command,reply,status,minute,bit,mode,attempt,verdict,detail");
}

bool SessionReport::write(const Session::Record &record)
{
    const BoardProtocol::ReplyFields fields = BoardProtocol::decodeReply(record.reply);
    const std::optional<qint16> mode = fields.valueOf(BoardProtocol::Field::Mode);
    const QByteArrayList row = {
        QByteArray::number(record.seconds, 'f', 3),
        QByteArray::number(record.step.line),
        quoted(record.step.asked.toUtf8()),
        quoted(printable(record.step.command)),
        quoted(printable(record.reply)),
        quoted(printable(fields.code.toLatin1())),
        quoted(printable(fields.minute.toLatin1())),
        quoted(printable(fields.bit.toLatin1())),
        quoted(mode ? BoardProtocol::modeName(*mode).toLatin1() : QByteArray()),
        QByteArray::number(record.attempt),
        ReplyCheck::token(record.result.verdict).toLatin1(),
        quoted(record.result.detail.toUtf8()),
    };
    return put(row.join(','));
}

bool SessionReport::put(const QByteArray &row)
{
    // CRLF, as the format has it; flushed now so a full disk is known at once.
    return m_file.write(row + "\r\n") == row.size() + 2 && m_file.flush();
}
