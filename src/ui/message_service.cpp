#include "ui/message_service.h"

#include <QApplication>
#include <QMessageBox>

namespace zv {
namespace {

QMessageBox::Icon iconOf(MessageKind kind) {
    switch (kind) {
        case MessageKind::Information:
            return QMessageBox::Information;
        case MessageKind::Warning:
            return QMessageBox::Warning;
        case MessageKind::Confirmation:
            return QMessageBox::Question;
        case MessageKind::Error:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

class MessageBoxes : public MessageResponder {
  public:
    bool respond(const Message& m) override {
        QString text = m.text;
        text.replace("\r\n", "\n");
        QMessageBox box(iconOf(m.kind), QApplication::applicationName(), text,
                        m.question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                        QApplication::activeWindow());
        if (m.question) {
            box.setDefaultButton(m.defaultNo ? QMessageBox::No : QMessageBox::Yes);
            box.setEscapeButton(QMessageBox::No);
        }
        return box.exec() == QMessageBox::Yes;
    }
};

MessageBoxes boxes;
MessageResponder* current = &boxes;

bool ask(MessageKind kind, const QString& text) {
    return current->respond({kind, text, true});
}
void tell(MessageKind kind, const QString& text) {
    current->respond({kind, text, false});
}

}  // namespace

void Messages::information(const QString& text) {
    tell(MessageKind::Information, text);
}
void Messages::error(const QString& text) {
    tell(MessageKind::Error, text);
}
bool Messages::warningQuestion(const QString& text) {
    return ask(MessageKind::Warning, text);
}
bool Messages::confirmation(const QString& text) {
    return ask(MessageKind::Confirmation, text);
}
bool Messages::errorQuestion(const QString& text) {
    return ask(MessageKind::Error, text);
}
bool Messages::cautiousQuestion(const QString& text) {
    return current->respond({MessageKind::Warning, text, true, true});
}

MessageResponder* Messages::setResponder(MessageResponder* responder) {
    MessageResponder* previous = current == &boxes ? nullptr : current;
    current = responder ? responder : &boxes;
    return previous;
}

}  // namespace zv
