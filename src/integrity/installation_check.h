#pragma once

#include "integrity/seal_check.h"
#include "integrity/seal_heads.h"
#include "integrity/seal_key.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace zv {

// How far the heads list beside the key can be trusted.
enum class HeadsStatus {
    Trusted,    // read and sealed with the key, or none yet in an installation that has sealed nothing
    Missing,    // gone although the tables carry seals
    Edited,     // its own seal does not match
    OlderCopy,  // an earlier generation than the event log has seen
};

// What one check of an installation's records reads: the tables folder, the files beside the
// settings, the key (empty when it could not be read) and the heads as loaded.
struct InstallationRecords {
    QString folder;
    SealPaths paths;
    QByteArray key;
    const SealHeads* heads = nullptr;  // none without a key
    HeadsStatus headsStatus = HeadsStatus::Trusted;
};

// Nothing of the installation was ever sealed: no list of seals, no table with seals.
bool sealedNothingYet(const SealPaths& paths, const QString& folder);

// Loads the heads and tells how far they can be trusted.
HeadsStatus loadHeads(SealHeads& heads, const QString& folder, const QByteArray& key);

// Every finding about the records of an installation, each source of findings in its turn;
// clean tables give none.
QList<SealFinding> checkInstallation(const InstallationRecords& records);

// Findings about the installation as a whole, not about one table file: their subjects stand on
// the warning line of every report.
bool isInstallationWide(const QString& title);

}  // namespace zv
