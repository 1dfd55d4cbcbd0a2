#pragma once

#include <QStringList>

namespace zv {

class RecordsIntegrity;

// The check at start-up: new and unacknowledged findings are shown in one message.
void checkRecordsAtStartUp(RecordsIntegrity& integrity);
// "Проверить целостность записей": the findings, and their acknowledgement by an engineer
// (who gives the access code); a wrong code is logged and acknowledges nothing.
void checkRecordsOnDemand(RecordsIntegrity& integrity);
// "Опечатать таблицы": the tables without seals, sealed as they are by an engineer (who gives the
// access code); logged with the operator on shift and the number of rows.
void sealRecordsOnDemand(RecordsIntegrity& integrity);

}  // namespace zv
