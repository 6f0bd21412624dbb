#include "line_trace.h"

#include <utility>

Q_LOGGING_CATEGORY(lcLine, "programador.line", QtInfoMsg)

namespace LineTrace {

static QLoggingCategory::CategoryFilter rulesFilter = nullptr;

// After the rules, QT_LOGGING_RULES among them, have had their say (while it
// is being installed, categories keep what the rules gave them). By name:
// lcLine() may be the category being made.
static void traceOn(QLoggingCategory *category)
{
    if (rulesFilter)
        rulesFilter(category);
    if (qstrcmp(category->categoryName(), "programador.line") == 0)
        category->setEnabled(QtDebugMsg, true);
}

void setUp(bool on)
{
    if (on && !rulesFilter)
        rulesFilter = QLoggingCategory::installFilter(traceOn);
    else if (!on && rulesFilter)
        QLoggingCategory::installFilter(std::exchange(rulesFilter, nullptr));
}

} // namespace LineTrace
