#pragma once

#include <QStringList>
#include <deque>
#include <vector>

#include "ui/message_service.h"

namespace zv {

// For tests: while it lives, the program's messages are recorded and its questions answered
// from a script, and no box appears. A question beyond the script is answered No and
// counted in unscripted().
class ScriptedMessages : public MessageResponder {
  public:
    ScriptedMessages();
    ~ScriptedMessages() override;
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    // The answers to the next questions, in order.
    ScriptedMessages& answerYes();
    ScriptedMessages& answerNo();

    const std::vector<Message>& shown() const { return shown_; }
    QStringList texts() const;
    int unscripted() const { return unscripted_; }
    void clear();

    bool respond(const Message& message) override;

  private:
    std::deque<bool> answers_;
    std::vector<Message> shown_;
    int unscripted_ = 0;
    MessageResponder* previous_;
};

}  // namespace zv
