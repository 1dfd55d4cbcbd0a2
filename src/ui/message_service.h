#pragma once

#include <QString>

namespace zv {

enum class MessageKind { Information, Warning, Confirmation, Error };

struct Message {
    MessageKind kind;
    QString text;   // as the program passed it, line breaks "\r\n" included
    bool question;  // Yes and No; otherwise OK alone
    bool defaultNo = false;  // Enter answers No
};

// Whoever answers the program's messages: the real message boxes, or a test's script.
class MessageResponder {
  public:
    virtual ~MessageResponder() = default;
    // True for Yes; the answer to a message without a question is not used.
    virtual bool respond(const Message& message) = 0;
};

// The one place every message to the operator goes through. A question goes on only on
// Yes: closing its box any other way is No.
class Messages {
  public:
    static void information(const QString& text);
    static void error(const QString& text);
    static bool warningQuestion(const QString& text);
    static bool confirmation(const QString& text);
    static bool errorQuestion(const QString& text);
    // A warning question where going on is the exception (keeping a doubtful value): Enter,
    // pressed out of habit, answers No.
    static bool cautiousQuestion(const QString& text);

    // Replaces the real boxes until called again with nullptr; returns the one it replaced.
    static MessageResponder* setResponder(MessageResponder* responder);
};

}  // namespace zv
