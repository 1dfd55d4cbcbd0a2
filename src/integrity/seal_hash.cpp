#include "integrity/seal_hash.h"

#include <QtEndian>

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <array>
#include <cstring>
#include <new>

namespace zv {

namespace {

constexpr std::size_t kBlock = 64;   // SHA-256's block
constexpr std::size_t kLength = 32;  // and its result

template <typename T>
T* checked(T* made) {
    if (!made) throw std::bad_alloc();
    return made;
}

}  // namespace

// HMAC (RFC 2104) is made here from the plain digest, so that a row's digest and its seal run
// through the same few libcrypto calls: a train stores a hundred rows, two hashes each, and
// libcrypto's general MAC interface costs more per message than the hashing itself. The many
// small pieces of a row's digest are gathered and handed on at once, for the same reason.
struct SealHash::Context {
    EVP_MD* md = nullptr;
    EVP_MD_CTX* digest = nullptr;
    bool keyed = false;
    std::array<unsigned char, kBlock> innerPad{}, outerPad{};
    std::array<unsigned char, 512> pending;
    std::size_t pendingSize = 0;
    ~Context() {
        EVP_MD_CTX_free(digest);
        EVP_MD_free(md);
        OPENSSL_cleanse(innerPad.data(), kBlock);  // the pads hold the key
        OPENSSL_cleanse(outerPad.data(), kBlock);
    }
    void start() {
        if (!EVP_DigestInit_ex(digest, md, nullptr)) throw std::bad_alloc();
    }
    void update(const unsigned char* bytes, std::size_t size) { EVP_DigestUpdate(digest, bytes, size); }
    void finish(unsigned char* out) {
        unsigned int length = 0;
        EVP_DigestFinal_ex(digest, out, &length);
    }
};

SealHash::SealHash() : context_(std::make_unique<Context>()) {
    context_->md = checked(EVP_MD_fetch(nullptr, "SHA256", nullptr));
    context_->digest = checked(EVP_MD_CTX_new());
    reset();
}

SealHash::SealHash(const QByteArray& key) : SealHash() {
    Context& c = *context_;
    c.keyed = true;
    // A key longer than a block is hashed first; a shorter one (an empty one too) is padded with zeros.
    std::array<unsigned char, kBlock> block{};
    if (static_cast<std::size_t>(key.size()) > kBlock) {
        c.update(reinterpret_cast<const unsigned char*>(key.constData()), static_cast<std::size_t>(key.size()));
        c.finish(block.data());
    } else if (!key.isEmpty()) {
        std::memcpy(block.data(), key.constData(), static_cast<std::size_t>(key.size()));
    }
    for (std::size_t i = 0; i < kBlock; ++i) {
        c.innerPad[i] = block[i] ^ 0x36;
        c.outerPad[i] = block[i] ^ 0x5c;
    }
    OPENSSL_cleanse(block.data(), kBlock);
    reset();
}

SealHash::~SealHash() = default;

void SealHash::reset() {
    Context& c = *context_;
    c.pendingSize = 0;
    c.start();
    if (c.keyed) c.update(c.innerPad.data(), kBlock);
}

void SealHash::flush() {
    Context& c = *context_;
    if (c.pendingSize == 0) return;
    c.update(c.pending.data(), c.pendingSize);
    c.pendingSize = 0;
}

void SealHash::add(QByteArrayView data) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const auto size = static_cast<std::size_t>(data.size());
    Context& c = *context_;
    if (c.pendingSize + size > c.pending.size()) {
        flush();
        if (size > c.pending.size()) return c.update(bytes, size);
    }
    if (size) std::memcpy(c.pending.data() + c.pendingSize, bytes, size);
    c.pendingSize += size;
}

void SealHash::addNumber(qint64 value) {
    const qint64 little = qToLittleEndian(value);
    add(QByteArrayView(reinterpret_cast<const char*>(&little), sizeof little));
}

QByteArray SealHash::hexResult() {
    flush();
    Context& c = *context_;
    std::array<unsigned char, kLength> out;
    c.finish(out.data());
    if (c.keyed) {
        c.start();
        c.update(c.outerPad.data(), kBlock);
        c.update(out.data(), kLength);
        c.finish(out.data());
    }
    reset();
    return QByteArray::fromRawData(reinterpret_cast<const char*>(out.data()), kLength).toHex();
}

QByteArray sealMacOf(const QByteArray& key, QByteArrayView message) {
    SealHash mac(key);
    mac.add(message);
    return mac.hexResult();
}

}  // namespace zv
