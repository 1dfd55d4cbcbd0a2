#include "office/listen_address.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace zv::office {

namespace {

enum class Family { None, V4, V6 };

Family familyOf(const QString& host, in_addr* v4 = nullptr, in6_addr* v6 = nullptr) {
    in_addr a{};
    in6_addr b{};
    const QByteArray text = host.toLatin1();
    if (::inet_pton(AF_INET, text.constData(), v4 ? v4 : &a) == 1) return Family::V4;
    if (::inet_pton(AF_INET6, text.constData(), v6 ? v6 : &b) == 1) return Family::V6;
    return Family::None;
}

}  // namespace

bool ListenAddress::loopback() const {
    in_addr v4{};
    in6_addr v6{};
    switch (familyOf(host, &v4, &v6)) {
    case Family::V4:
        return (ntohl(v4.s_addr) >> 24) == 127;
    case Family::V6:
        return IN6_IS_ADDR_LOOPBACK(&v6);
    default:
        return false;
    }
}

std::optional<ListenAddress> parseListenAddress(const QString& text) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0) return std::nullopt;
    QString host = text.left(colon);
    if (host.startsWith(u'[') && host.endsWith(u']')) host = host.mid(1, host.size() - 2);
    else if (host.contains(u':')) return std::nullopt;  // IPv6 needs its brackets
    bool ok = false;
    const int port = text.mid(colon + 1).toInt(&ok);
    if (!ok || port < 0 || port > 65535 || familyOf(host) == Family::None) return std::nullopt;
    return ListenAddress{host, port};
}

QString listenRefusal(const ListenAddress& address, bool plainHttpAllowed) {
    if (address.loopback() || plainHttpAllowed) return {};
    return QStringLiteral("Адрес %1 доступен из сети, а служба говорит по HTTP без шифрования: поставьте перед ней "
                          "обратный прокси с TLS (packaging/office/nginx-zolvelt-office) и слушайте 127.0.0.1, "
                          "или разрешите это явно параметром --allow-plain-http")
        .arg(address.host);
}

}  // namespace zv::office
