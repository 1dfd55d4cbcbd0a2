#pragma once

#include <QByteArray>
#include <QString>

#include "integrity/calibration_values.h"

namespace zv {

// What the calibration seal says about the values the program runs on.
struct CalibrationFinding {
    enum class Kind { Clean, Unsealed, SealMissing, SealUnreadable, SealBroken, Changed };
    Kind kind = Kind::Clean;
    QString sealPath;
    QList<ValueChange> changes;  // when Changed

    // A fresh installation's calibration, not sealed yet, is nothing to report.
    bool clean() const { return kind == Kind::Clean || kind == Kind::Unsealed; }
    // "Калибровка изменена в обход программы: ak[0] 2000000 → 1900000"
    QString text() const;
};

// The title the findings about the calibration are logged under.
inline const QString kCalibrationTitle = QStringLiteral("Калибровка");

// Compares the values in effect with the seal at `sealPath`. Without a seal the installation
// is fresh (`installationSealed` false: no chain heads yet) or the seal was removed.
CalibrationFinding checkCalibrationSeal(const SealedValues& inEffect, const QString& sealPath,
                                        const QByteArray& key, bool installationSealed);

}  // namespace zv
