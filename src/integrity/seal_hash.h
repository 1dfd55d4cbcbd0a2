#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cstddef>
#include <memory>

namespace zv {

// SHA-256, or HMAC-SHA-256 when given a key, through libcrypto: a seal costs two hashes per row
// written and the check of a whole table one per row, so the context is kept and reused (for
// the keyed hash the key's padding is made once, not once per message).
class SealHash {
public:
    SealHash();                               // SHA-256
    explicit SealHash(const QByteArray& key);  // HMAC-SHA-256 with that key
    ~SealHash();
    SealHash(const SealHash&) = delete;
    SealHash& operator=(const SealHash&) = delete;

    void reset();
    void add(QByteArrayView data);
    void addNumber(qint64 value);  // little-endian, 8 bytes
    QByteArray hexResult();        // and ready for the next message

private:
    void flush();

    struct Context;
    std::unique_ptr<Context> context_;
};

// Hex HMAC-SHA-256 of one message.
QByteArray sealMacOf(const QByteArray& key, QByteArrayView message);

}  // namespace zv
