#include "ui/modal.h"

#include <QDialog>
#include <QTimer>

namespace zv {
namespace {
ModalScript* activeScript = nullptr;
}

int showModal(QDialog& dialog) {
    return activeScript ? activeScript->run(dialog) : dialog.exec();
}

ModalScript::ModalScript() : previous_(activeScript) {
    activeScript = this;
}

ModalScript::~ModalScript() {
    activeScript = previous_;
}

ModalScript& ModalScript::then(Step step) {
    steps_.push_back(std::move(step));
    return *this;
}

int ModalScript::run(QDialog& dialog) {
    shown_ << dialog.objectName();
    Step step;
    if (!steps_.empty()) {
        step = std::move(steps_.front());
        steps_.pop_front();
    }
    QTimer::singleShot(0, &dialog, [&dialog, step = std::move(step)] {
        if (step) step(dialog);
        if (dialog.isVisible()) dialog.reject();
    });
    return dialog.exec();
}

}  // namespace zv
