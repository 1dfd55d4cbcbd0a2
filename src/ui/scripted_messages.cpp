#include "ui/scripted_messages.h"

namespace zv {

ScriptedMessages::ScriptedMessages() : previous_(Messages::setResponder(this)) {}

ScriptedMessages::~ScriptedMessages() {
    Messages::setResponder(previous_);
}

ScriptedMessages& ScriptedMessages::answerYes() {
    answers_.push_back(true);
    return *this;
}

ScriptedMessages& ScriptedMessages::answerNo() {
    answers_.push_back(false);
    return *this;
}

QStringList ScriptedMessages::texts() const {
    QStringList list;
    for (const Message& m : shown_) list << m.text;
    return list;
}

void ScriptedMessages::clear() {
    answers_.clear();
    shown_.clear();
    unscripted_ = 0;
}

bool ScriptedMessages::respond(const Message& message) {
    shown_.push_back(message);
    if (!message.question) return false;
    if (answers_.empty()) {
        ++unscripted_;
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

}  // namespace zv
