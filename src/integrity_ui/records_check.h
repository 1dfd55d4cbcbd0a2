#pragma once

#include "integrity/witness_check.h"

#include <QStringList>

namespace zv {

class RecordsIntegrity;

// The check at start-up: new and unacknowledged findings are shown in one message.
void checkRecordsAtStartUp(RecordsIntegrity& integrity);
// What the comparison with the central database's witness found joins the findings: each one
// not outstanding yet is logged and shown in one message.
void noteWitnessFindings(RecordsIntegrity& integrity, const QList<WitnessFinding>& findings);
// "Проверить целостность записей": the findings, and their acknowledgement by an engineer
// (who gives the access code); a wrong code is logged and acknowledges nothing.
void checkRecordsOnDemand(RecordsIntegrity& integrity);
// "Опечатать таблицы": the tables without seals, sealed as they are by an engineer (who gives the
// access code); logged with the operator on shift and the number of rows.
void sealRecordsOnDemand(RecordsIntegrity& integrity);

}  // namespace zv
