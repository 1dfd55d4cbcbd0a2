#include "exerciser/fault_warnings.h"

#include <cstdio>

namespace zv::test {
namespace {
FaultWarnings* active = nullptr;
}

FaultWarnings::FaultWarnings() {
    active = this;
    previous_ = qInstallMessageHandler(&FaultWarnings::handle);
}

FaultWarnings::~FaultWarnings() {
    qInstallMessageHandler(previous_);
    active = nullptr;
}

bool FaultWarnings::meansFault(const QString& text) {
    static const char* const kFaults[] = {
        "exception thrown from an event handler",
        "does not belong to this view",
        "index from a different model",
        "model index",
        "QObject::connect",
        "QSqlDatabase",
        "ASSERT",
        "QPainter::begin",
        "QWidget::repaint: Recursive repaint",
        "Recursive call detected",
    };
    for (const char* fault : kFaults)
        if (text.contains(QLatin1String(fault), Qt::CaseInsensitive)) return true;
    return false;
}

void FaultWarnings::handle(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    FaultWarnings* self = active;
    // The offscreen platform's notes on what it cannot do are no news.
    const bool platformNote = text.startsWith(QLatin1String("This plugin does not support"));
    if (self && type != QtDebugMsg && type != QtInfoMsg && !platformNote) {
        ++self->warnings_;
        if (meansFault(text)) {
            self->faults_ << text;
            if (self->onFault_) self->onFault_(text);
        }
    }
    if (self && self->previous_) {
        self->previous_(type, context, text);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
}

}  // namespace zv::test
