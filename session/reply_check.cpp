#include "reply_check.h"

#include "board_protocol.h"
#include "printable.h"

#include <QCoreApplication>

namespace ReplyCheck {

namespace {

QString tr(const char *text) { return QCoreApplication::translate("ReplyCheck", text); }

// "03", " 3" and "3" all say 3; anything not a number says nothing.
std::optional<int> numberIn(const QString &field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    return ok && !field.trimmed().isEmpty() ? std::optional<int>(value) : std::nullopt;
}

std::optional<int> modeIn(const QString &shown)
{
    if (shown == QLatin1String("One"))
        return 0;
    if (shown == QLatin1String("Sec."))
        return 1;
    return std::nullopt;
}

} // namespace

Result judge(const SessionFile::Step &step, const QByteArray &reply, bool timedOut)
{
    using SessionFile::Field;
    if (timedOut)
        return {Verdict::NoAnswer, tr("no answer")};
    const BoardProtocol::StatusFields shown = BoardProtocol::decodeReply(reply);
    if (!step.codes.isEmpty() && !step.codes.contains(shown.LBRX)) {
        return {Verdict::UnexpectedCode, tr("status code \"%1\" is not one of %2")
                                             .arg(printable(shown.LBRX), step.codes.join(QLatin1String(", ")))};
    }
    QString field, said;
    std::optional<int> value;
    switch (step.field) {
    case Field::None:
        return {};
    case Field::Minute:
        field = tr("minute");
        said = shown.LbMin;
        value = numberIn(said);
        break;
    case Field::Bit:
        field = tr("bit");
        said = shown.LbBit;
        value = numberIn(said);
        break;
    case Field::Mode:
        field = tr("mode");
        said = shown.LbEjecutar.isEmpty() ? QString::fromLatin1(reply.mid(5, 1)) : shown.LbEjecutar;
        value = modeIn(shown.LbEjecutar);
        break;
    }
    if (value == step.value)
        return {};
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
