#pragma once

#include <QTreeView>

class QFileSystemModel;

// A tree of the folders of the file system (no files), starting at its root, in which one
// folder is chosen at a time.
class FolderTree : public QTreeView {
    Q_OBJECT
public:
    explicit FolderTree(QWidget* parent = nullptr);

    // Chooses an existing folder as if the operator clicked it; false for anything else.
    bool choose(const QString& path);
    // The chosen folder as the tree names it (no trailing separator), empty for none.
    QString chosenPath() const;

signals:
    void folderChosen(const QString& path);

private:
    QFileSystemModel* model_ = nullptr;
};
