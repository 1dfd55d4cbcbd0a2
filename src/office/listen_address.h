#pragma once

#include <QString>

#include <optional>

namespace zv::office {

struct ListenAddress {
    QString host;  // an IP address: "127.0.0.1", "::1", "0.0.0.0"
    int port = 0;

    bool loopback() const;
};

// "127.0.0.1:8080", "[::1]:8080"; nullopt for anything else (a name, no port, a port out of range).
std::optional<ListenAddress> parseListenAddress(const QString& text);

// Why the service must not listen there, in the operator's words; empty when it may. Plain
// HTTP leaves loopback only when the settings say so explicitly: TLS belongs to the proxy in front.
QString listenRefusal(const ListenAddress& address, bool plainHttpAllowed);

}  // namespace zv::office
