#include "records/schema.h"

#include <initializer_list>

namespace zv::schema {

namespace {

const QString kShownTime = QStringLiteral("dd.MM.yyyy  hh:mm");

FieldDef stored(const QString& name, FieldType type, const QString& label = {}, int size = 0) {
    FieldDef f;
    f.name = name;
    f.type = type;
    f.label = label;
    f.size = size;
    return f;
}

FieldDef int16(const QString& name, const QString& label = {}) { return stored(name, FieldType::Int16, label); }
FieldDef int32(const QString& name, const QString& label = {}) { return stored(name, FieldType::Int32, label); }
FieldDef text(const QString& name, int size, const QString& label = {}) { return stored(name, FieldType::Text, label, size); }

FieldDef dateTime(const QString& name, const QString& label) {
    FieldDef f = stored(name, FieldType::DateTime, label);
    f.displayFormat = kShownTime;
    return f;
}

FieldDef calculated(const QString& name, FieldType type, const QString& label = {}, int size = 0) {
    FieldDef f = stored(name, type, label, size);
    f.kind = FieldKind::Calculated;
    return f;
}

FieldDef lookup(const QString& name, int size, const QString& label, const QString& table, const QString& key,
                const QString& result) {
    FieldDef f = stored(name, FieldType::Text, label, size);
    f.kind = FieldKind::Lookup;
    f.lookup = LookupSource{table, key, result};
    return f;
}

FieldDef hidden(FieldDef f) {
    f.hidden = true;
    return f;
}

FieldDef ranged(FieldDef f, int min, int max, bool required = false) {
    f.range = FieldRange{min, max};
    f.required = required;
    return f;
}

// The fields of the given groups, one group after the other.
QList<FieldDef> joined(std::initializer_list<QList<FieldDef>> groups) {
    QList<FieldDef> fields;
    for (const QList<FieldDef>& group : groups) fields += group;
    return fields;
}

// Where the load sits on a weighed wagon and the base it was weighed with (Wagons and Book).
QList<FieldDef> loadPlacement() {
    return {
        int32(QStringLiteral("WeiL"), QStringLiteral("Смещ.пр.кг")),
        int16(QStringLiteral("BaseW"), QStringLiteral("База ваг.")),
        int16(QStringLiteral("BsNote"), QStringLiteral("Реж.б.в.")),
        int16(QStringLiteral("DisS"), QStringLiteral("Смещ.поп.мм")),
    };
}

// Where a wagon goes and what its waybill says (Wagons and Book); the tables caption the
// tare written on the wagon differently.
QList<FieldDef> waybill(const QString& tareOnWagonLabel) {
    return {
        hidden(int16(QStringLiteral("Station"))),
        hidden(int16(QStringLiteral("Client"))),
        text(QStringLiteral("Doc"), 8, QStringLiteral("Документ")),
        int32(QStringLiteral("BrutD"), QStringLiteral("Брутто по док.")),
        int32(QStringLiteral("TareD"), QStringLiteral("Тара по док.")),
        int32(QStringLiteral("NettD"), QStringLiteral("Нетто по док.")),
        int16(QStringLiteral("NLoadD"), QStringLiteral("Мест по док.")),
        int32(QStringLiteral("TareW"), tareOnWagonLabel),
    };
}

// The load on each bogie, worked out from the stored weights (Trains and Book).
QList<FieldDef> bogieLoads() {
    return {
        calculated(QStringLiteral("WeiL0"), FieldType::Int32, QStringLiteral("Вес т1")),
        calculated(QStringLiteral("WeiL1"), FieldType::Int32, QStringLiteral("Вес т2")),
    };
}

TableDef dictionary(const QString& name, const QString& title, const QString& textField, const QString& label,
                    const QString& row0, const QString& row1) {
    TableDef t;
    t.name = name;
    t.title = title;
    t.fields = {int16(QStringLiteral("N")), text(textField, 25, label)};
    t.primaryKey = QStringLiteral("N");
    t.primaryIndexName = name + QStringLiteral("Index1");
    t.defaultRows = {{0, row0}, {1, row1}};
    return t;
}

}  // namespace

TableDef trains() {
    TableDef t;
    t.name = QStringLiteral("Trains");
    t.title = QStringLiteral("Составы");
    t.fields = joined({{
        int16(QStringLiteral("Train"), QStringLiteral("Состав")),
        dateTime(QStringLiteral("Time"), QStringLiteral("Дата, время")),
        text(QStringLiteral("Wagon"), 8, QStringLiteral("Вагон")),
        int32(QStringLiteral("Weight"), QStringLiteral("Вес")),
        int32(QStringLiteral("Wei1"), QStringLiteral("Вес1")),
        int32(QStringLiteral("Wei2"), QStringLiteral("Вес2")),
        int32(QStringLiteral("Wei3"), QStringLiteral("Вес3")),
        ranged(int16(QStringLiteral("Direc")), 0, 1, true),
        ranged(int16(QStringLiteral("Note")), 0, 6, true),
        ranged(int16(QStringLiteral("Axle"), QStringLiteral("Осей")), 2, 8),
        int16(QStringLiteral("Speed"), QStringLiteral("Скорость")),
        int16(QStringLiteral("BaseW"), QStringLiteral("База ваг.")),
        int16(QStringLiteral("BaseB"), QStringLiteral("База тел.")),
        int32(QStringLiteral("WeiL"), QStringLiteral("Прод.см.")),
        int16(QStringLiteral("DisS"), QStringLiteral("Поп.см.")),
        calculated(QStringLiteral("Direct"), FieldType::Text, QStringLiteral("Направл."), 6),
        calculated(QStringLiteral("Note1"), FieldType::Text, QStringLiteral("Примеч."), 8),
    }, bogieLoads()});
    t.primaryKey = QStringLiteral("Time");
    t.secondaryIndexes = {QStringLiteral("Train")};  // every train-list filter is on the train number
    return t;
}

TableDef wagons() {
    TableDef t;
    t.name = QStringLiteral("Wagons");
    t.title = QStringLiteral("Вагоны на территории");
    t.fields = joined({{
        text(QStringLiteral("Wagon"), 8, QStringLiteral("Вагон")),
        dateTime(QStringLiteral("Time"), QStringLiteral("Дата, время")),
        int16(QStringLiteral("Train"), QStringLiteral("Состав")),
        int32(QStringLiteral("Weight"), QStringLiteral("Масса")),
        hidden(int16(QStringLiteral("WNote"), QStringLiteral("Метод"))),
        hidden(int16(QStringLiteral("Name"))),
        hidden(int16(QStringLiteral("Load"))),
    }, loadPlacement(), {
        int16(QStringLiteral("NLoad"), QStringLiteral("Мест")),
    }, waybill(QStringLiteral("Тара на вагоне")), {
        text(QStringLiteral("Note"), 16, QStringLiteral("Примечание")),
        hidden(int32(QStringLiteral("Wei2"))),
        calculated(QStringLiteral("WNote1"), FieldType::Text, QStringLiteral("Метод"), 8),
        lookup(QStringLiteral("LoadL"), 25, QStringLiteral("Груз"), QStringLiteral("Loads"), QStringLiteral("Load"), QStringLiteral("Load")),
        lookup(QStringLiteral("StationL"), 24, QStringLiteral("Станция"), QStringLiteral("Stations"), QStringLiteral("Station"), QStringLiteral("Station")),
        lookup(QStringLiteral("ClientL"), 24, QStringLiteral("Отправитель/получатель"), QStringLiteral("Clients"), QStringLiteral("Client"), QStringLiteral("Client")),
        lookup(QStringLiteral("NameL"), 24, QStringLiteral("Принял"), QStringLiteral("Names"), QStringLiteral("Name"), QStringLiteral("Name")),
        hidden(calculated(QStringLiteral("Nett"), FieldType::Int32)),
        calculated(QStringLiteral("DisL"), FieldType::Int16, QStringLiteral("Смещ.пр.мм")),
    }});
    t.primaryKey = QStringLiteral("Wagon");
    return t;
}

TableDef book() {
    TableDef t;
    t.name = QStringLiteral("Book");
    t.title = QStringLiteral("Весовая книга");
    FieldDef n = hidden(stored(QStringLiteral("N"), FieldType::AutoInc));
    n.readOnly = true;
    t.fields = joined({{
        n,
        text(QStringLiteral("Wagon"), 8, QStringLiteral("Вагон")),
        dateTime(QStringLiteral("Time1"), QStringLiteral("Принят")),
        dateTime(QStringLiteral("Time2"), QStringLiteral("Отпущен")),
        int16(QStringLiteral("Train1"), QStringLiteral("Состав1")),
        int16(QStringLiteral("Train2"), QStringLiteral("Состав2")),
        int32(QStringLiteral("Brut"), QStringLiteral("Брутто,кг")),
        hidden(int16(QStringLiteral("BNote"))),
        int32(QStringLiteral("Tare"), QStringLiteral("Тара, кг")),
        hidden(int16(QStringLiteral("TNote"))),
        int16(QStringLiteral("NLoad"), QStringLiteral("Мест")),
    }, loadPlacement(), {
        hidden(int16(QStringLiteral("Load"))),
        hidden(int16(QStringLiteral("Dir"))),
    }, waybill(QStringLiteral("Тара на ваг.")), {
        hidden(int16(QStringLiteral("Name1"))),
        hidden(int16(QStringLiteral("Name2"))),
        text(QStringLiteral("Note"), 16, QStringLiteral("Примечание")),
        calculated(QStringLiteral("BNote1"), FieldType::Text, QStringLiteral("Метод"), 8),
        calculated(QStringLiteral("TNote1"), FieldType::Text, QStringLiteral("Метод"), 8),
        calculated(QStringLiteral("Nett"), FieldType::Int32, QStringLiteral("Нетто, кг")),
        hidden(calculated(QStringLiteral("TareN"), FieldType::Int32, QStringLiteral("Тара для нетто, кг"))),
        calculated(QStringLiteral("DisL"), FieldType::Int16, QStringLiteral("Смещ.пр.мм")),
        lookup(QStringLiteral("LoadL"), 24, {}, QStringLiteral("Loads"), QStringLiteral("Load"), QStringLiteral("Load")),
        calculated(QStringLiteral("Dir1"), FieldType::Text, QStringLiteral("Направление"), 8),
        lookup(QStringLiteral("StationL"), 24, QStringLiteral("Станция"), QStringLiteral("Stations"), QStringLiteral("Station"), QStringLiteral("Station")),
        lookup(QStringLiteral("ClientL"), 24, QStringLiteral("Получатель/отправитель"), QStringLiteral("Clients"), QStringLiteral("Client"), QStringLiteral("Client")),
        lookup(QStringLiteral("Name11"), 24, QStringLiteral("Принял"), QStringLiteral("Names"), QStringLiteral("Name1"), QStringLiteral("Name")),
        lookup(QStringLiteral("Name21"), 24, QStringLiteral("Отпустил"), QStringLiteral("Names"), QStringLiteral("Name2"), QStringLiteral("Name")),
    }, bogieLoads()});
    t.primaryKey = QStringLiteral("N");
    return t;
}

TableDef names() {
    TableDef t;
    t.name = QStringLiteral("Names");
    t.title = QStringLiteral("Операторы весов");
    t.fields = {
        int16(QStringLiteral("N")),
        text(QStringLiteral("Name"), 24, QStringLiteral("ФИО оператора")),
        text(QStringLiteral("Pass"), 8, QStringLiteral("Пароль")),
    };
    t.primaryKey = QStringLiteral("N");
    return t;
}

TableDef loads() {
    return dictionary(QStringLiteral("Loads"), QStringLiteral("Грузы"), QStringLiteral("Load"), QStringLiteral("Груз"), QStringLiteral("Без груза"),
                      QStringLiteral("Прочие грузы"));
}

TableDef stations() {
    return dictionary(QStringLiteral("Stations"), QStringLiteral("Станции"), QStringLiteral("Station"), QStringLiteral("Станция"), QStringLiteral("Прочие"),
                      QStringLiteral("Станция 1"));
}

TableDef clients() {
    return dictionary(QStringLiteral("Clients"), QStringLiteral("Получатели / отправители"), QStringLiteral("Client"), QStringLiteral("Получатель/Отправитель"),
                      QStringLiteral("Прочие"), QStringLiteral("ООО Клиент 1"));
}

TableDef basesW() {
    TableDef t;
    t.name = QStringLiteral("BasesW");
    t.title = QStringLiteral("Базы вагонов");
    t.fields = {
        text(QStringLiteral("TypeW"), 8, QStringLiteral("Тип ваг.")),
        int16(QStringLiteral("BaseW"), QStringLiteral("База, мм")),
        text(QStringLiteral("Note"), 24, QStringLiteral("Примечание")),
    };
    t.primaryKey = QStringLiteral("TypeW");
    t.primaryIndexName = QStringLiteral("TypesWIndex1");
    t.defaultRows = {{QStringLiteral("12-1000"), 8650, QStringLiteral("Полувагон")},
                     {QStringLiteral("13-401"), 9720, QStringLiteral("Платформа")}};
    return t;
}

QList<TableDef> dictionaries() { return {loads(), stations(), clients(), basesW()}; }

QString bookFileName(const QDate& date) { return QStringLiteral("Book") + date.toString(QStringLiteral("[MM.yyyy]")) + QStringLiteral(".db"); }

}  // namespace zv::schema
