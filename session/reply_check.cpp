#include "reply_check.h"

#include "board_protocol.h"
#include "printable.h"

#include <QCoreApplication>

namespace ReplyCheck {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("ReplyCheck", text); }

} // namespace

Result judge(const SessionFile::Step &step, const QByteArray &reply, bool timedOut)
{
    using BoardProtocol::Field;
    if (timedOut)
        return {Verdict::NoAnswer, tr("no answer")};
    const BoardProtocol::ReplyFields fields = BoardProtocol::decodeReply(reply);
    if (!step.codes.isEmpty() && !step.codes.contains(fields.code)) {
        return {Verdict::UnexpectedCode, tr("status code \"%1\" is not one of %2")
                                             .arg(printable(fields.code), step.codes.join(QLatin1String(", ")))};
    }
    QString field, said;
    switch (step.field) {
    case Field::None:
        return {};
    case Field::Minute:
        field = tr("minute");
        said = fields.minute;
        break;
    case Field::Bit:
        field = tr("bit");
        said = fields.bit;
        break;
    case Field::Mode:
        field = tr("mode");
        said = fields.mode;
        break;
    }
    const std::optional<qint16> value = fields.valueOf(step.field);
    if (value == step.value)
        return {};
    // A mode reads as the window shows it.
    if (step.field == Field::Mode && value)
        said = BoardProtocol::modeName(*value);
    return {Verdict::WrongValue,
            tr("asked %1 %2, the board says \"%3\"").arg(field).arg(step.value).arg(printable(said))};
}

QString token(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Ok: return QStringLiteral("ok");
    case Verdict::NoAnswer: return QStringLiteral("no-answer");
    case Verdict::WrongValue: return QStringLiteral("wrong-value");
    case Verdict::UnexpectedCode: return QStringLiteral("unexpected-code");
    }
    return {};
}

} // namespace ReplyCheck
