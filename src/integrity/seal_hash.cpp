#include "integrity/seal_hash.h"

#include <QtEndian>

#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <new>

namespace zv {

namespace {

constexpr int kSha256Size = 32;

template <typename T>
T* checked(T* made) {
    if (!made) throw std::bad_alloc();
    return made;
}

QByteArray hex(const unsigned char* bytes, size_t size) {
    return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size)).toHex();
}

template <typename Add>
void addLittleEndian(Add add, qint64 value) {
    const qint64 little = qToLittleEndian(value);
    add(QByteArrayView(reinterpret_cast<const char*>(&little), sizeof little));
}

}  // namespace

struct Sha256::Context {
    EVP_MD* md = checked(EVP_MD_fetch(nullptr, "SHA256", nullptr));
    EVP_MD_CTX* ctx = checked(EVP_MD_CTX_new());
    ~Context() {
        EVP_MD_CTX_free(ctx);
        EVP_MD_free(md);
    }
};

Sha256::Sha256() : context_(std::make_unique<Context>()) { reset(); }

Sha256::~Sha256() = default;

void Sha256::reset() { EVP_DigestInit_ex(context_->ctx, context_->md, nullptr); }

void Sha256::add(QByteArrayView data) { EVP_DigestUpdate(context_->ctx, data.data(), static_cast<size_t>(data.size())); }

void Sha256::addNumber(qint64 value) {
    addLittleEndian([this](QByteArrayView bytes) { add(bytes); }, value);
}

QByteArray Sha256::hexResult() {
    unsigned char out[kSha256Size];
    unsigned int size = 0;
    EVP_DigestFinal_ex(context_->ctx, out, &size);
    reset();
    return hex(out, size);
}

struct SealMac::Context {
    EVP_MAC* mac = checked(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    EVP_MAC_CTX* ctx = checked(EVP_MAC_CTX_new(mac));
    ~Context() {
        EVP_MAC_CTX_free(ctx);
        EVP_MAC_free(mac);
    }
};

SealMac::SealMac(const QByteArray& key) : context_(std::make_unique<Context>()) {
    char digest[] = "SHA256";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                 OSSL_PARAM_construct_end()};
    // An empty key is still a key: HMAC pads it like any other.
    static const unsigned char none = 0;
    const auto* bytes = key.isEmpty() ? &none : reinterpret_cast<const unsigned char*>(key.constData());
    if (!EVP_MAC_init(context_->ctx, bytes, static_cast<size_t>(key.size()), params)) throw std::bad_alloc();
}

SealMac::~SealMac() = default;

// Without a key the context starts again from the key given first.
void SealMac::reset() { EVP_MAC_init(context_->ctx, nullptr, 0, nullptr); }

void SealMac::add(QByteArrayView data) {
    EVP_MAC_update(context_->ctx, reinterpret_cast<const unsigned char*>(data.data()), static_cast<size_t>(data.size()));
}

void SealMac::addNumber(qint64 value) {
    addLittleEndian([this](QByteArrayView bytes) { add(bytes); }, value);
}

QByteArray SealMac::hexResult() {
    unsigned char out[kSha256Size];
    size_t size = 0;
    EVP_MAC_final(context_->ctx, out, &size, sizeof out);
    reset();
    return hex(out, size);
}

QByteArray sealMacOf(const QByteArray& key, QByteArrayView message) {
    SealMac mac(key);
    mac.add(message);
    return mac.hexResult();
}

}  // namespace zv
