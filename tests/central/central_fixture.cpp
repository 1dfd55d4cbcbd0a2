#include "central/central_fixture.h"

#include "central/central_logins.h"

#include <chrono>

namespace zv::test {

StoredTrain trainOf(int wagons, const QDateTime& start) {
    StoredTrain train;
    for (int i = 0; i < wagons; ++i) {
        StoredWagonRow row;
        row.Time = WallTime(std::chrono::milliseconds(start.addSecs(5 * i).toMSecsSinceEpoch()));
        row.Weight = 60000 + i;
        row.Direc = 0;
        row.Note = 1;
        row.Axle = 4;
        row.Speed = 55;
        train.rows.push_back(row);
    }
    return train;
}

void CentralFixture::connect(bool withSchema) {
    database = PgCluster::instance()->createDatabase();
    server.connect(params());
    if (withSchema) central::initSchema(server);
}

qint64 CentralFixture::push(const QString& scale) {
    central::PgConnection connection;
    connection.connect(params());
    return central::Pusher(f.dbDir(), scale).pushAll(connection);
}

central::ConnectionParams CentralFixture::paramsAs(const QString& login) const {
    central::ConnectionParams p = params();
    p.set(QStringLiteral("user"), login);
    return p;
}

qint64 CentralFixture::pushAs(const QString& login, const QString& scale, const QString& folder) {
    central::PgConnection connection;
    connection.connect(paramsAs(login));
    return central::Pusher(folder, scale).pushAll(connection);
}

QString CentralFixture::addScale(const QString& scale) {
    const QString password = QStringLiteral("pw-of-") + scale + QStringLiteral("-0123456789");
    const central::CentralLogin made = central::addScaleLogin(server, scale, password);
    PgCluster::addPassword(made.login, password);
    return made.login;
}

QStringList CentralFixture::rows(const QString& sql) {
    if (!server.isOpen()) server.connect(params());
    const central::PgResult result = server.exec(sql);
    QStringList lines;
    for (int r = 0; r < result.rows(); ++r) {
        QStringList columns;
        for (int c = 0; c < result.columns(); ++c) columns.append(result.text(r, c));
        lines.append(columns.join(u'|'));
    }
    return lines;
}

}  // namespace zv::test
