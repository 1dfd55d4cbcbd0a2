#include "office/office_fixture.h"

#include "central/central_schema.h"
#include "office/office_users.h"

#include <cstdlib>
#include <fstream>

namespace zv::test {

namespace {

const char* const kReaderPassword = "reader-secret";

// Two scales' dictionaries, books, trains and logs. North has 3 rows accepted today, 2 on
// 5 December and 150 in November (more than a page); south has 2 today. North reported its
// backlog, south did not. The witness: north's book chain goes on, its Trains chain was
// witnessed with two seals at entry 10, south's Trains came back shorter (8, then 4).
const char* const kData = R"SQL(
INSERT INTO central.scales (scale, last_version, last_table, last_key, received_at) VALUES
  ('north', 10, 'Book', '1', '2026-12-10 11:58:00+00'), ('south', 7, 'Trains', 'x', '2026-12-09 08:00:00+00');
UPDATE central.scales SET outbox_waiting = 37, outbox_refused = 2, outbox_reported_at = '2026-12-10 11:58:00+00'
  WHERE scale = 'north';
INSERT INTO central.witness (scale, file, n, head, sent_at, received_at) VALUES
  ('north', 'Book[12.2026].db', 3, 'aaaa0000aaaa0000aaaa', '2026-12-10 08:00:00+00', '2026-12-10 08:00:01+00'),
  ('north', 'Book[12.2026].db', 5, 'bbbb0000bbbb0000bbbb', '2026-12-10 09:00:00+00', '2026-12-10 09:00:01+00'),
  ('north', 'Trains.db', 10, 'c1c1', '2026-12-10 08:00:00+00', '2026-12-10 08:00:01+00'),
  ('north', 'Trains.db', 10, 'c2c2', '2026-12-10 09:00:00+00', '2026-12-10 09:00:01+00'),
  ('north', '<b>x</b>.db', 1, '<i>h</i>', '2026-12-10 09:00:00+00', '2026-12-10 09:00:01+00'),
  ('south', 'Trains.db', 8, 'd1d1', '2026-12-09 07:00:00+00', '2026-12-09 07:00:01+00'),
  ('south', 'Trains.db', 4, 'd2d2', '2026-12-09 08:00:00+00', '2026-12-09 08:00:01+00');
INSERT INTO central.dictionaries (scale, tbl, key, name, version) VALUES
  ('north', 'Loads', '1', 'Уголь', 1), ('north', 'Loads', '2', 'Щебень', 1),
  ('north', 'Clients', '1', 'ООО Ромашка', 1), ('north', 'Clients', '2', '<script>alert(1)</script>', 1),
  ('north', 'Stations', '1', 'Северная', 1), ('north', 'Stations', '2', 'Южная', 1),
  ('south', 'Loads', '1', 'Руда', 1), ('south', 'Clients', '1', 'ООО Ромашка', 1);
INSERT INTO central.operators (scale, n, name, version) VALUES ('north', 1, 'Иванов', 1);
INSERT INTO central.book (scale, month, n, wagon, time1, time2, brut, tare, load, station, client, dir, doc, name1, note, version) VALUES
  ('north', '2026-12-01', 1, '52345678', '2026-12-10 08:00:00', '2026-12-10 08:30:00', 80000, 25000, 1, 1, 1, 0, 'Д-1', 1, 'первый', 1),
  ('north', '2026-12-01', 2, '52345679', '2026-12-10 09:00:00', NULL, 82000, 24000, 1, 2, 2, 1, 'Д-2', 1, NULL, 1),
  ('north', '2026-12-01', 3, '00001234', '2026-12-10 10:00:00', NULL, 70000, NULL, 2, 1, 1, 0, NULL, NULL, NULL, 1),
  ('north', '2026-12-01', 4, '52345678', '2026-12-05 07:00:00', '2026-12-05 07:20:00', 81000, 25000, 2, 2, 1, 2, 'Д-3', 1, 'a;b"c', 1),
  ('north', '2026-12-01', 5, '61112222', '2026-12-05 15:00:00', NULL, 60000, 22000, 1, 1, 2, 1, NULL, NULL, NULL, 1),
  ('south', '2026-12-01', 1, '52345678', '2026-12-10 06:00:00', NULL, 90000, 26000, 1, NULL, 1, 0, 'Ю-1', NULL, NULL, 1),
  ('south', '2026-12-01', 2, '70000001', '2026-12-10 07:00:00', NULL, 91000, 26500, 1, NULL, 1, 0, NULL, NULL, NULL, 1);
INSERT INTO central.book (scale, month, n, wagon, time1, brut, tare, load, station, client, dir, version)
  SELECT 'north', '2026-11-01', 100 + i, lpad((80000000 + i)::text, 8, '0'), '2026-11-01 00:00:00'::timestamp + i * interval '4 hours',
         60000 + i * 10, 20000 + i, 1 + i % 2, 1 + i % 2, 1 + i % 2, i % 3, 1
  FROM generate_series(1, 150) i;
INSERT INTO central.trains (scale, time, train, wagon, weight, direc, note, axle, speed, basew, baseb, version) VALUES
  ('north', '2026-12-10 07:59:00', 3, NULL, 21000, 0, 3, 6, 55, 1200, 300, 1),
  ('north', '2026-12-10 08:00:00', 3, '52345678', 80000, 0, 0, 4, 55, 1000, 185, 1),
  ('north', '2026-12-10 08:00:05', 3, '52345679', 82000, 0, 0, 4, 56, 1000, 185, 1),
  ('north', '2026-12-10 11:00:00', 4, '99999999', 30000, 1, 4, 4, 120, 1000, 185, 1),
  ('north', '2026-12-09 11:00:00', 2, '11111111', 30000, 1, 0, 4, 60, 1000, 185, 1);
INSERT INTO central.events (scale, tbl, key, name, data, version) VALUES
  ('north', 'Events', '1', NULL, '{"time": "2026-12-10 07:00:00.000", "operator": "Иванов", "kind": "Запуск программы", "subject": "north-1"}', 1),
  ('north', 'Events', '2', NULL, '{"time": "2026-12-10 07:30:00.000", "operator": "Иванов", "kind": "Нарушение целостности", "subject": "Book[12.2026].db", "newvalue": "<b>цепочка</b> разорвана"}', 1),
  ('north', 'Events', '3', NULL, '{"time": "2026-12-10 07:40:00.000", "operator": "", "kind": "Центральная база отклонила записи", "subject": "Центральная база north", "oldvalue": "0", "newvalue": "2"}', 1),
  ('south', 'Events', '1', NULL, '{"time": "2026-12-09 07:00:00.000", "operator": "Петров", "kind": "Нарушение целостности", "subject": "Trains.db"}', 1),
  ('south', 'Events', '2', NULL, '{"time": "2026-12-09 09:00:00.000", "operator": "Петров", "kind": "Нарушение подтверждено", "subject": "Trains.db"}', 1);
)SQL";

// The reader role is the cluster's, made once; its password goes into the tests' password file.
void makeReader(central::PgConnection& admin) {
    static bool made = false;
    if (made) return;
    made = true;
    admin.execScript(QStringLiteral("DO $$ BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1') THEN "
                                    "CREATE ROLE %1 LOGIN PASSWORD '%2'; END IF; END $$;")
                         .arg(OfficeFixture::kReader, QLatin1String(kReaderPassword)));
    if (const char* file = std::getenv("PGPASSFILE"))
        std::ofstream(file, std::ios::app) << "127.0.0.1:*:*:" << OfficeFixture::kReader.toStdString() << ':' << kReaderPassword << '\n';
}

}  // namespace

void OfficeFixture::start(const office::OfficeOptions& changes) {
    PgCluster& cluster = *PgCluster::instance();
    database = cluster.createDatabase();
    owner.connect(cluster.params(database));
    makeReader(owner);
    central::initSchema(owner);
    office::initOfficeSchema(owner, kReader);
    owner.execScript(QString::fromUtf8(kData));
    for (const auto& [name, role] : {std::pair{QStringLiteral("anna"), office::Role::Admin}, std::pair{QStringLiteral("boris"), office::Role::Office}})
        office::addUser(owner, name, role, office::hashPassword(kPassword, office::HashCost::Minimal), false);

    office::OfficeOptions options = changes;
    options.database = cluster.params(database);
    options.database.set(QStringLiteral("user"), kReader);
    options.hashCost = office::HashCost::Minimal;
    if (changes.loginPause == office::OfficeOptions{}.loginPause) options.loginPause = std::chrono::milliseconds(150);
    options.now = [] { return kOfficeNow; };
    service = std::make_unique<office::OfficeService>(options);
    server = std::make_unique<office::HttpServer>([this](const office::Request& r) { return service->handle(r); });
    server->start(QStringLiteral("127.0.0.1"), 0);
}

OfficeClient OfficeFixture::loggedIn(const QString& user) {
    OfficeClient c = client();
    c.login(user, kPassword);
    return c;
}

QString OfficeFixture::sql(const QString& query, const QStringList& parameters) {
    const central::PgResult r = owner.exec(query, parameters);
    QStringList rows;
    for (int i = 0; i < r.rows(); ++i) rows.append(r.text(i, 0));
    return rows.join(u'\n');
}

QString OfficeFixture::readerUrl() const {
    return QStringLiteral("postgresql://%1@127.0.0.1:%2/%3").arg(kReader).arg(PgCluster::instance()->port()).arg(database);
}

}  // namespace zv::test
