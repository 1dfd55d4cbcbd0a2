#pragma once

#include "central/pg_connection.h"

#include <QString>

namespace zv::central {

struct CheckResult {
    enum class Verdict { Unreachable, AuthenticationFailed, DatabaseMissing, SchemaMissing, SchemaOlder, SchemaNewer, Ok };
    Verdict verdict = Verdict::Unreachable;
    QString text;  // what the settings page shows
};

// Connects once and says what happened, in the operator's words. Never throws.
CheckResult checkConnection(const ConnectionParams& params);

// The verdict of a failed connection from libpq's message (the server's words may be
// English or Russian, after its lc_messages).
CheckResult::Verdict connectionFailureVerdict(const PgError& error);

}  // namespace zv::central
