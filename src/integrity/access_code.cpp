#include "integrity/access_code.h"

#include "integrity/seal_key.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <sodium.h>

namespace zv {

namespace {

// The file: the hash on the first line, the day of the change on the second.
constexpr const char* kDateFormat = "yyyy-MM-dd";

const QString kUnusable = QStringLiteral(
    "; код доступа не принимается.\r\nЗадать код заново может наладчик с доступом к записям: "
    "zolvelt-tool set-access-code --settings ZOLVelt.ini");

bool sodiumReady() { return sodium_init() >= 0; }

// The shape libsodium writes (a 16-byte salt, a 32-byte hash), and parameters it accepts.
bool validHash(const QByteArray& hash) {
    static const QRegularExpression shape(QStringLiteral(
        "^\\$argon2id\\$v=19\\$m=[0-9]+,t=[0-9]+,p=[0-9]+\\$[A-Za-z0-9+/]{22}\\$[A-Za-z0-9+/]{43}$"));
    return shape.match(QString::fromLatin1(hash)).hasMatch() && sodiumReady() &&
           crypto_pwhash_str_needs_rehash(hash.constData(), crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN) >= 0;
}

}  // namespace

AccessCode::Cost AccessCode::programCost() {
    return {crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE};
}

AccessCode::AccessCode(QString path, bool changedBefore, Cost cost)
    : path_(std::move(path)), changedBefore_(changedBefore), cost_(cost) {}

AccessCode::Stored AccessCode::read() const {
    Stored stored;
    if (path_.isEmpty()) return stored;
    if (!QFileInfo::exists(path_)) {
        if (changedBefore_) {
            stored.state = State::Damaged;
            stored.problem = QStringLiteral("Файл кода доступа %1 удален в обход программы (код доступа был изменен)").arg(path_) + kUnusable;
        }
        return stored;
    }
    stored.state = State::Damaged;
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        stored.problem = QStringLiteral("Не удается прочитать файл кода доступа %1").arg(path_) + kUnusable;
        return stored;
    }
    const QList<QByteArray> lines = file.read(4096).split('\n');
    stored.hash = lines.value(0).trimmed();
    stored.changed = QDate::fromString(QString::fromLatin1(lines.value(1).trimmed()), QLatin1String(kDateFormat));
    if (!validHash(stored.hash) || !stored.changed.isValid()) {
        stored.problem = QStringLiteral("Файл кода доступа %1 поврежден").arg(path_) + kUnusable;
        return stored;
    }
    stored.state = State::Changed;
    return stored;
}

QString AccessCode::caption() const {
    const Stored stored = read();
    switch (stored.state) {
        case State::Factory:
            return QStringLiteral("Код доступа: заводской - смените его");
        case State::Changed:
            return QStringLiteral("Код доступа: изменен %1").arg(stored.changed.toString(QStringLiteral("dd.MM.yyyy")));
        case State::Damaged:
            break;
    }
    return QStringLiteral("Код доступа: файл поврежден - задайте код заново");
}

bool AccessCode::confirms(const QString& typed) const {
    const Stored stored = read();
    if (stored.state == State::Factory) return typed == QLatin1String(kFactoryCode);
    if (stored.state == State::Damaged) return false;
    const QByteArray bytes = typed.toUtf8();
    return crypto_pwhash_str_verify(stored.hash.constData(), bytes.constData(),
                                    static_cast<unsigned long long>(bytes.size())) == 0;
}

AccessCode::Change AccessCode::change(const QString& current, const QString& fresh, const QString& repeated,
                                      QString* message) const {
    if (const QString damaged = problem(); !damaged.isEmpty()) {
        *message = damaged;
        return Change::Refused;
    }
    if (!confirms(current)) {
        *message = QStringLiteral("Неверный код доступа");
        return Change::WrongCode;
    }
    *message = replace(fresh, repeated);
    return message->isEmpty() ? Change::Done : Change::Refused;
}

QString AccessCode::replace(const QString& fresh, const QString& repeated) const {
    if (const QString rule = ruleProblem(fresh, repeated); !rule.isEmpty()) return rule;
    return write(fresh);
}

QString AccessCode::ruleProblem(const QString& fresh, const QString& repeated) {
    if (fresh != repeated) return QStringLiteral("Новый код и его повтор не совпадают");
    if (fresh.size() < kMinLength || fresh.size() > kMaxLength)
        return QStringLiteral("Код доступа: от %1 до %2 знаков").arg(kMinLength).arg(kMaxLength);
    for (const QChar c : fresh)
        if (c.isSpace() || !c.isPrint()) return QStringLiteral("Код доступа: без пробелов и управляющих знаков");
    if (fresh == QLatin1String(kFactoryCode)) return QStringLiteral("Новый код совпадает с заводским");
    return {};
}

QString AccessCode::write(const QString& fresh) const {
    const QString failed = QStringLiteral("Не удается записать файл кода доступа %1").arg(path_);
    if (path_.isEmpty() || !sodiumReady()) return failed;
    const QByteArray bytes = fresh.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(hash, bytes.constData(), static_cast<unsigned long long>(bytes.size()), cost_.ops,
                              cost_.memory, crypto_pwhash_ALG_ARGON2ID13) != 0)
        return QStringLiteral("Не хватает памяти для кода доступа");
    const QByteArray content = QByteArray(hash) + '\n' + QDate::currentDate().toString(QLatin1String(kDateFormat)).toLatin1() + '\n';
    return writeKeptFile(path_, content) ? QString() : failed;
}

}  // namespace zv
