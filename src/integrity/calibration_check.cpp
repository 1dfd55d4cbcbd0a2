#include "integrity/calibration_check.h"

#include "integrity/calibration_seal.h"

namespace zv {

QString CalibrationFinding::text() const {
    switch (kind) {
        case Kind::Clean:
            return {};
        case Kind::Unsealed:
            return QStringLiteral("Калибровка: не опечатана");
        case Kind::SealMissing:
            return QStringLiteral("Калибровка не опечатана: нет файла %1").arg(sealPath);
        case Kind::SealUnreadable:
            return QStringLiteral("Не удается прочитать печать калибровки %1").arg(sealPath);
        case Kind::SealBroken:
            return QStringLiteral("Печать калибровки %1 изменена в обход программы").arg(sealPath);
        case Kind::Changed:
            return QStringLiteral("Калибровка изменена в обход программы: ") + changesText(changes);
    }
    return {};
}

CalibrationFinding checkCalibrationSeal(const SealedValues& inEffect, const QString& sealPath,
                                        const QByteArray& key, bool installationSealed) {
    CalibrationFinding finding;
    finding.sealPath = sealPath;
    const CalibrationSeal seal = readCalibrationSeal(sealPath, key);
    switch (seal.state) {
        case CalibrationSeal::State::Missing:
            finding.kind = installationSealed ? CalibrationFinding::Kind::SealMissing
                                              : CalibrationFinding::Kind::Unsealed;
            break;
        case CalibrationSeal::State::Unreadable:
            finding.kind = CalibrationFinding::Kind::SealUnreadable;
            break;
        case CalibrationSeal::State::Broken:
            finding.kind = CalibrationFinding::Kind::SealBroken;
            break;
        case CalibrationSeal::State::Intact:
            finding.changes = changedValues(seal.values, inEffect);
            if (!finding.changes.isEmpty()) finding.kind = CalibrationFinding::Kind::Changed;
            break;
    }
    return finding;
}

}  // namespace zv
