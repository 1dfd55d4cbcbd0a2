#pragma once

#include "central/pg_connection.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace zv::office {

// Connections to the central database shared by the request threads: each request borrows
// one, and one that failed is dropped rather than handed to the next.
class ConnectionPool {
public:
    explicit ConnectionPool(central::ConnectionParams params) : params_(std::move(params)) {}

    // Runs work on a connection; PgError goes on to the caller.
    void with(const std::function<void(central::PgConnection&)>& work);

private:
    std::unique_ptr<central::PgConnection> take();
    void giveBack(std::unique_ptr<central::PgConnection> connection);

    central::ConnectionParams params_;
    std::mutex mutex_;
    std::vector<std::unique_ptr<central::PgConnection>> idle_;
};

}  // namespace zv::office
