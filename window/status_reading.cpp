#include "status_reading.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace {

// Which labels read otherwise than Qt reads them, for the factory below.
constexpr char ReadAsProperty[] = "programadorReadAs";
enum ReadAs { AsQtDoes, StatusBox, StatusNotice };
constexpr char NoticeProperty[] = "programadorNotice";

class StatusBoxAccessible : public QAccessibleWidget
{
public:
    explicit StatusBoxAccessible(QLabel *box) : QAccessibleWidget(box, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(t);
    }
};

class StatusNoticeAccessible : public QAccessibleWidget
{
public:
    explicit StatusNoticeAccessible(QLabel *caption)
        : QAccessibleWidget(caption, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name)
            return QAccessibleWidget::text(t);
        const QString notice = widget()->property(NoticeProperty).toString();
        const QString caption = static_cast<const QLabel *>(widget())->text();
        return notice.isEmpty() ? caption : caption + QStringLiteral(": ") + notice;
    }
};

QAccessibleInterface *readAsShown(const QString &, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (!label)
        return nullptr;
    switch (label->property(ReadAsProperty).toInt()) {
    case StatusBox:
        return new StatusBoxAccessible(label);
    case StatusNotice:
        return new StatusNoticeAccessible(label);
    default:
        return nullptr;
    }
}

void readAs(QLabel *label, ReadAs how)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(readAsShown);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
    label->setProperty(ReadAsProperty, how);
    // Qt makes a label's interface as soon as its text is set, when a
    // screen reader is running: made again, now that the label is marked.
    QAccessible::deleteAccessibleInterface(
        QAccessible::uniqueId(QAccessible::queryAccessibleInterface(label)));
}

} // namespace

namespace StatusReading {

void readAsStatusBox(QLabel *box)
{
    readAs(box, StatusBox);
}

void readAsNotice(QLabel *caption)
{
    readAs(caption, StatusNotice);
}

void tell(QLabel *caption, const QString &notice)
{
    caption->setProperty(NoticeProperty, notice);
    // Its name changed (readers keep names they were told), and it shows anew.
    QAccessibleEvent renamed(caption, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
    QAccessibleEvent shown(caption, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}

} // namespace StatusReading
