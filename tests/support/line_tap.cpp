#include "line_tap.h"

#include "line_trace.h"

namespace {
LineTap::Seen seenNow;
QtMessageHandler others = nullptr;
} // namespace

LineTap::LineTap(Seen seen)
{
    seenNow = std::move(seen);
    others = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (qstrcmp(context.category, lcLine().categoryName()) == 0)
                seenNow(message);
            else
                others(type, context, message);
        });
    LineTrace::setUp(true);
}

LineTap::~LineTap()
{
    LineTrace::setUp(false);
    qInstallMessageHandler(others);
    seenNow = nullptr;
}
