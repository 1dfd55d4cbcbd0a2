#include "central/connection_check.h"

#include "central/central_schema.h"
#include "central/connection_params.h"

namespace zv::central {

namespace {

bool mentionsAny(const QString& text, std::initializer_list<const char*> parts) {
    for (const char* part : parts)
        if (text.contains(QString::fromUtf8(part), Qt::CaseInsensitive)) return true;
    return false;
}

CheckResult failureResult(const PgError& error, const ConnectionParams& params) {
    using V = CheckResult::Verdict;
    const V verdict = connectionFailureVerdict(error);
    switch (verdict) {
    case V::AuthenticationFailed:
        return {verdict, QStringLiteral("Ошибка входа: сервер не принял пользователя \"%1\" или пароль. "
                                        "Пароль берется из файла паролей (PGPASSFILE, ~/.pgpass).\n%2")
                             .arg(params.value(QStringLiteral("user")), error.message())};
    case V::DatabaseMissing:
        return {verdict, QStringLiteral("База данных \"%1\" на сервере не найдена.\n%2")
                             .arg(params.value(QStringLiteral("dbname")), error.message())};
    default:
        return {V::Unreachable, QStringLiteral("Сервер недоступен (%1).\n%2").arg(describe(params), error.message())};
    }
}

}  // namespace

CheckResult::Verdict connectionFailureVerdict(const PgError& error) {
    using V = CheckResult::Verdict;
    const QString& m = error.message();
    if (error.sqlState() == QStringLiteral("28P01") || error.sqlState() == QStringLiteral("28000")) return V::AuthenticationFailed;
    if (mentionsAny(m, {"database \"", "база данных \""}) && mentionsAny(m, {"does not exist", "не существует"}))
        return V::DatabaseMissing;
    if (mentionsAny(m, {"authentication failed", "no password supplied", "role \"", "роль \"", "проверку подлинности",
                        "пароль не указан", "no pg_hba.conf entry", "pg_hba.conf"}))
        return V::AuthenticationFailed;
    return V::Unreachable;
}

CheckResult checkConnection(const ConnectionParams& params) {
    using V = CheckResult::Verdict;
    PgConnection connection;
    connection.setTimeout(std::chrono::seconds(8));
    try {
        connection.connect(params);
    } catch (const PgError& error) {
        return failureResult(error, params);
    }
    try {
        const int found = schemaVersion(connection);
        if (found == 0) return {V::SchemaMissing, missingSchemaMessage()};
        if (found < kSchemaVersion) return {V::SchemaOlder, olderSchemaMessage(found)};
        if (found > kSchemaVersion) return {V::SchemaNewer, newerSchemaMessage(found)};
        return {V::Ok, QStringLiteral("Связь в порядке: %1, схема версии %2.").arg(describe(params)).arg(found)};
    } catch (const PgError& error) {
        return {V::Unreachable, QStringLiteral("Сервер недоступен (%1).\n%2").arg(describe(params), error.message())};
    }
}

}  // namespace zv::central
