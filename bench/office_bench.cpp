// The office's view against a server of its own (a private cluster on loopback, as the tests
// make one): a book page, the spreadsheet and the CSV of a month of 10 000 rows (and of
// 100 000, to see that the service's memory does not grow with an export's size).
#include "central/central_schema.h"
#include "central/pg_cluster.h"
#include "office/http_client.h"
#include "office/http_server.h"
#include "office/office_service.h"
#include "office/office_users.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <map>
#include <memory>

namespace {

using namespace zv;

struct Office {
    std::unique_ptr<office::OfficeService> service;
    std::unique_ptr<office::HttpServer> server;
    std::unique_ptr<test::OfficeClient> client;
};

// One database per size of month, filled once: dictionaries and the month's rows.
Office& officeWith(int rows) {
    static std::map<int, Office> made;
    if (auto found = made.find(rows); found != made.end()) return found->second;
    test::PgCluster& cluster = *test::PgCluster::instance();
    const QString database = cluster.createDatabase();
    central::PgConnection owner;
    owner.connect(cluster.params(database));
    central::initSchema(owner);
    office::initOfficeSchema(owner);
    owner.execScript(QStringLiteral(
        "INSERT INTO central.scales (scale, last_version) VALUES ('north', 1);"
        "INSERT INTO central.dictionaries (scale, tbl, key, name, version) SELECT 'north', t, k::text, t || ' ' || k, 1 "
        "FROM unnest(ARRAY['Loads', 'Clients', 'Stations']) t, generate_series(0, 20) k;"
        "INSERT INTO central.book (scale, month, n, wagon, time1, time2, brut, tare, load, station, client, dir, doc, version) "
        "SELECT 'north', '2026-12-01', i, lpad((50000000 + i)::text, 8, '0'), "
        "'2026-12-01'::timestamp + i * (interval '30 days' / %1), NULL, 60000 + i % 30000, 20000 + i % 5000, i % 20, i % 15, "
        "i % 17, i % 3, 'Д' || i, 1 FROM generate_series(1, %1) i;"
        "ANALYZE;").arg(rows));
    office::addUser(owner, QStringLiteral("bench"), office::Role::Office,
                    office::hashPassword(QStringLiteral("bench-password"), office::HashCost::Minimal), false);
    office::OfficeOptions options;
    options.database = cluster.params(database);
    options.now = [] { return QDateTime(QDate(2026, 12, 20), QTime(12, 0)); };
    Office& o = made[rows];
    o.service = std::make_unique<office::OfficeService>(options);
    o.server = std::make_unique<office::HttpServer>([&o](const office::Request& r) { return o.service->handle(r); });
    o.server->start(QStringLiteral("127.0.0.1"), 0);
    o.client = std::make_unique<test::OfficeClient>(o.server->port());
    o.client->login(QStringLiteral("bench"), QStringLiteral("bench-password"));
    o.client->keepBodies(false);  // the process's memory is then the service's
    return o;
}

long maxResidentKb() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void fetch(benchmark::State& state, const QString& target) {
    Office& o = officeWith(static_cast<int>(state.range(0)));
    qint64 bytes = 0;
    for (auto _ : state) {
        const test::HttpReply reply = o.client->get(target);
        if (reply.status != 200) state.SkipWithError("the service did not answer 200");
        bytes = reply.bodySize;
    }
    state.counters["bytes"] = static_cast<double>(bytes);
    state.counters["maxrss_kb"] = static_cast<double>(maxResidentKb());
}

void BM_BookPage(benchmark::State& state) { fetch(state, QStringLiteral("/book?scale=north&month=2026-12")); }
void BM_BookPageSortedFiltered(benchmark::State& state) {
    fetch(state, QStringLiteral("/book?scale=north&month=2026-12&client=Clients%201&sort=net&desc=1&page=3"));
}
void BM_BookXlsx(benchmark::State& state) { fetch(state, QStringLiteral("/book.xlsx?scale=north&month=2026-12")); }
void BM_BookCsv(benchmark::State& state) { fetch(state, QStringLiteral("/book.csv?scale=north&month=2026-12")); }

BENCHMARK(BM_BookPage)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BookPageSortedFiltered)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BookXlsx)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_BookCsv)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
