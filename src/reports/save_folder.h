#pragma once

#include <QString>

namespace zv {

// The folders a report may be proposed to be saved into.
struct SavePlaces {
    QString remembered;     // where the operator saved last
    QString documents;      // the user's documents
    QString home;           // the user's home folder
    QString programFolder;  // beside the executable: read-only once installed
};

// Where the preview proposes to save: the folder saved into last, else the user's documents,
// else the home folder, else the temporary folder; a folder that is gone, cannot be written
// or is the program folder is passed over.
QString proposedSaveFolder(const SavePlaces& places);

// The places of this user and program. The folder saved into last is kept in the user's own
// settings (QSettings), not in the settings file of the scale, which every operator shares.
SavePlaces currentSavePlaces();
// Keeps `folder` as the one saved into last, unless it is the program folder.
void rememberSaveFolder(const QString& folder);

// `name` with the characters a file name cannot hold on any system replaced by '-'.
QString fileNameOf(QString name);

}  // namespace zv
