#include "integrity/seal_hash.h"

#include <QtEndian>

#include <openssl/core_names.h>
#include <openssl/evp.h>

#include <new>

namespace zv {

namespace {

template <typename T>
T* checked(T* made) {
    if (!made) throw std::bad_alloc();
    return made;
}

}  // namespace

// One of the two is in use: the digest context without a key, the MAC context with one.
struct SealHash::Context {
    EVP_MD* md = nullptr;
    EVP_MD_CTX* digest = nullptr;
    EVP_MAC* mac = nullptr;
    EVP_MAC_CTX* keyed = nullptr;
    ~Context() {
        EVP_MD_CTX_free(digest);
        EVP_MD_free(md);
        EVP_MAC_CTX_free(keyed);
        EVP_MAC_free(mac);
    }
};

SealHash::SealHash() : context_(std::make_unique<Context>()) {
    context_->md = checked(EVP_MD_fetch(nullptr, "SHA256", nullptr));
    context_->digest = checked(EVP_MD_CTX_new());
    reset();
}

SealHash::SealHash(const QByteArray& key) : context_(std::make_unique<Context>()) {
    context_->mac = checked(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    context_->keyed = checked(EVP_MAC_CTX_new(context_->mac));
    char digest[] = "SHA256";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                 OSSL_PARAM_construct_end()};
    // An empty key is still a key: HMAC pads it like any other.
    static const unsigned char none = 0;
    const auto* bytes = key.isEmpty() ? &none : reinterpret_cast<const unsigned char*>(key.constData());
    if (!EVP_MAC_init(context_->keyed, bytes, static_cast<size_t>(key.size()), params)) throw std::bad_alloc();
}

SealHash::~SealHash() = default;

// Without a key EVP_MAC_init starts again from the key given first.
void SealHash::reset() {
    if (context_->keyed) EVP_MAC_init(context_->keyed, nullptr, 0, nullptr);
    else EVP_DigestInit_ex(context_->digest, context_->md, nullptr);
}

void SealHash::add(QByteArrayView data) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const auto size = static_cast<size_t>(data.size());
    if (context_->keyed) EVP_MAC_update(context_->keyed, bytes, size);
    else EVP_DigestUpdate(context_->digest, bytes, size);
}

void SealHash::addNumber(qint64 value) {
    const qint64 little = qToLittleEndian(value);
    add(QByteArrayView(reinterpret_cast<const char*>(&little), sizeof little));
}

QByteArray SealHash::hexResult() {
    unsigned char out[EVP_MAX_MD_SIZE];
    size_t size = 0;
    if (context_->keyed) {
        EVP_MAC_final(context_->keyed, out, &size, sizeof out);
    } else {
        unsigned int length = 0;
        EVP_DigestFinal_ex(context_->digest, out, &length);
        size = length;
    }
    reset();
    return QByteArray::fromRawData(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size)).toHex();
}

QByteArray sealMacOf(const QByteArray& key, QByteArrayView message) {
    SealHash mac(key);
    mac.add(message);
    return mac.hexResult();
}

}  // namespace zv
