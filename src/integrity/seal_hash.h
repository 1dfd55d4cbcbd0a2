#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

namespace zv {

// SHA-256 and HMAC-SHA-256 through libcrypto: a seal costs two hashes per row written, and
// the check of a whole table one per row, so both keep their context and reuse it.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void reset();
    void add(QByteArrayView data);
    void addNumber(qint64 value);  // little-endian, 8 bytes
    QByteArray hexResult();        // and ready for the next message

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

// Hex HMAC-SHA-256 of one message.
QByteArray sealMacOf(const QByteArray& key, QByteArrayView message);

// HMAC-SHA-256 with one key: the key's padding is computed once, not once per message.
class SealMac {
public:
    explicit SealMac(const QByteArray& key);
    ~SealMac();
    SealMac(const SealMac&) = delete;
    SealMac& operator=(const SealMac&) = delete;

    void reset();
    void add(QByteArrayView data);
    void addNumber(qint64 value);  // little-endian, 8 bytes
    QByteArray hexResult();        // and ready for the next message

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

}  // namespace zv
