#include "admin/folder_tree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>

FolderTree::FolderTree(QWidget* parent) : QTreeView(parent) {
    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setReadOnly(true);
    model_->setRootPath(QDir::rootPath());
    setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) hideColumn(column);
    header()->hide();
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid()) emit folderChosen(model_->filePath(current));
            });
}

bool FolderTree::choose(const QString& path) {
    const QString folder = QDir::cleanPath(QDir(path).absolutePath());
    if (!QDir(folder).exists()) return false;
    const QModelIndex index = model_->index(folder);
    if (!index.isValid()) return false;
    if (index == currentIndex()) {
        emit folderChosen(model_->filePath(index));
    } else {
        setCurrentIndex(index);
    }
    scrollTo(index);
    return true;
}

QString FolderTree::chosenPath() const {
    const QModelIndex current = currentIndex();
    return current.isValid() ? model_->filePath(current) : QString();
}
