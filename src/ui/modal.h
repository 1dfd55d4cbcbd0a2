#pragma once

#include <QStringList>
#include <deque>
#include <functional>

class QDialog;

namespace zv {

// Every modal window is shown through here, so that a test can act inside it while it is
// open. Returns the dialog's result.
int showModal(QDialog& dialog);

// For tests: while it lives, each modal window shown runs the next scripted step as soon
// as it is open, inside its modal loop, and is then rejected unless the step closed it.
// A window with no step left is rejected at once, so no test waits for a person.
class ModalScript {
  public:
    using Step = std::function<void(QDialog&)>;

    ModalScript();
    ~ModalScript();
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

    ModalScript& then(Step step);
    // The objectName of every modal window shown, in order.
    const QStringList& shown() const { return shown_; }

  private:
    friend int showModal(QDialog& dialog);
    int run(QDialog& dialog);

    std::deque<Step> steps_;
    QStringList shown_;
    ModalScript* previous_;
};

}  // namespace zv
