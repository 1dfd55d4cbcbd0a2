#include "office/connection_pool.h"

namespace zv::office {

std::unique_ptr<central::PgConnection> ConnectionPool::take() {
    {
        std::lock_guard lock(mutex_);
        if (!idle_.empty()) {
            auto connection = std::move(idle_.back());
            idle_.pop_back();
            return connection;
        }
    }
    auto connection = std::make_unique<central::PgConnection>();
    connection->setTimeout(std::chrono::seconds(20));
    connection->connect(params_);
    // A page never waits long on a query gone astray.
    connection->exec(QStringLiteral("SET statement_timeout = '15s'"));
    return connection;
}

void ConnectionPool::giveBack(std::unique_ptr<central::PgConnection> connection) {
    std::lock_guard lock(mutex_);
    if (idle_.size() < 8) idle_.push_back(std::move(connection));
}

void ConnectionPool::with(const std::function<void(central::PgConnection&)>& work) {
    auto connection = take();
    work(*connection);  // a throw drops the connection with the unique_ptr
    giveBack(std::move(connection));
}

}  // namespace zv::office
