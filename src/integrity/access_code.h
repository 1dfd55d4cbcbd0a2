#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstddef>

namespace zv {

// The access code of one installation, which unlocks the calibration and acknowledges the
// records' findings. Until an engineer changes it the factory code confirms; from then on only
// the new one, kept as an Argon2id hash (libsodium) in "ZOLVelt.code" beside the seal key.
// A file that cannot be read, or one deleted after a change, confirms nothing at all: falling
// back to the factory code would open the calibration to whoever removed the file.
class AccessCode {
public:
    static constexpr const char* kFactoryCode = "wqpzlt";
    static constexpr int kMinLength = 6;
    static constexpr int kMaxLength = 64;

    // What hashing a new code costs; a check reads the cost from the stored hash.
    struct Cost {
        unsigned long long ops;
        std::size_t memory;
    };
    // libsodium's interactive limits (64 MiB, 2 passes).
    static Cost programCost();

    enum class State { Factory, Changed, Damaged };
    enum class Change { Done, WrongCode, Refused };

    // No file: only the factory code (windows and tools run without a program folder).
    AccessCode() = default;
    // path: "ZOLVelt.code". changedBefore: the event log tells of a change, so a missing file
    // has been deleted behind the program's back.
    AccessCode(QString path, bool changedBefore, Cost cost = programCost());

    State state() const { return read().state; }
    // Why no code confirms (a damaged or deleted file); empty otherwise.
    QString problem() const { return read().problem; }
    // The about box's line: "Код доступа: заводской - смените его", "Код доступа: изменен 11.12.2026".
    QString caption() const;

    bool confirms(const QString& typed) const;
    // The current code, then the new one twice; *message says why it was not changed.
    Change change(const QString& current, const QString& fresh, const QString& repeated, QString* message) const;
    // Writes a new code without asking for the current one: for an engineer who holds the
    // records' rights of his own and mends a damaged file. Empty on success, otherwise why not.
    QString replace(const QString& fresh, const QString& repeated) const;

    // What is wrong with a new code and its repetition; empty when it may be used.
    static QString ruleProblem(const QString& fresh, const QString& repeated);

    const QString& path() const { return path_; }

private:
    struct Stored {
        State state = State::Factory;
        QByteArray hash;
        QDate changed;
        QString problem;
    };
    Stored read() const;
    QString write(const QString& fresh) const;

    QString path_;
    bool changedBefore_ = false;
    Cost cost_ = programCost();
};

}  // namespace zv
