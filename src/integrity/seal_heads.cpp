#include "integrity/seal_heads.h"

#include "integrity/seal_hash.h"

#include <QFile>
#include <QSaveFile>

namespace zv {

namespace {

const QByteArray kMacPrefix = "mac ";
const QByteArray kGenerationPrefix = "generation ";

}  // namespace

QByteArray SealHeads::body() const {
    QByteArray text = kGenerationPrefix + QByteArray::number(generation_) + '\n';
    for (auto it = heads_.cbegin(); it != heads_.cend(); ++it)
        text += QByteArray::number(it->n) + ' ' + it->seal + ' ' + it.key().toUtf8() + '\n';
    return text;
}

bool SealHeads::load() {
    heads_.clear();
    generation_ = 0;
    changed_ = false;
    QFile file(path_);
    if (!file.exists()) return true;
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray all = file.readAll();
    const qsizetype macAt = all.lastIndexOf('\n' + kMacPrefix);
    const QByteArray text = macAt < 0 ? QByteArray() : all.left(macAt + 1);
    const QByteArray mac = macAt < 0 ? QByteArray() : all.mid(macAt + 1 + kMacPrefix.size()).trimmed();
    if (macAt < 0 && !all.startsWith(kMacPrefix)) return false;
    const QByteArray expected = sealMacOf(key_, text);
    if (mac != expected && all.trimmed() != kMacPrefix + expected) return false;
    for (const QByteArray& line : text.split('\n')) {
        if (line.startsWith(kGenerationPrefix)) {
            generation_ = line.mid(kGenerationPrefix.size()).toLongLong();
            continue;
        }
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() < 3) continue;
        heads_.insert(QString::fromUtf8(line.mid(parts[0].size() + parts[1].size() + 2)),
                      SealHead{parts[0].toLongLong(), parts[1]});
    }
    return true;
}

bool SealHeads::save() {
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) return false;
    ++generation_;
    const QByteArray text = body();
    file.write(text);
    file.write(kMacPrefix + sealMacOf(key_, text) + '\n');
    // Every run of the program, whoever started it, moves the heads on; nobody outside the
    // records group sees them.
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                        QFileDevice::WriteGroup);
    if (!file.commit()) return false;
    changed_ = false;
    return true;
}

void SealHeads::setHead(const QString& filePath, const SealHead& head) {
    const auto it = heads_.constFind(filePath);
    if (it != heads_.constEnd() && *it == head) return;
    heads_.insert(filePath, head);
    changed_ = true;
}

std::optional<SealHead> SealHeads::head(const QString& filePath) const {
    const auto it = heads_.constFind(filePath);
    if (it == heads_.constEnd()) return std::nullopt;
    return *it;
}

}  // namespace zv
