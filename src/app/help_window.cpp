#include "app/help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

HelpWindow::HelpWindow(const QString& folder, QWidget* parent) : QDialog(parent), folder_(folder) {
    setObjectName("Help");
    setWindowTitle("ZOL - Справка");
    // Not modal: the operator reads the help beside the window it is about.
    setModal(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("HelpBrowser");
    browser_->setOpenLinks(true);
    layout->addWidget(browser_);
    resize(640, 560);
}

QString HelpWindow::pagePath(const QString& topic) const {
    return folder_ + topic;
}

bool HelpWindow::showTopic(const QString& topic) {
    const QString path = pagePath(topic);
    if (!QFileInfo(path).isFile()) return false;
    browser_->setSource(QUrl::fromLocalFile(path));
    show();
    raise();
    activateWindow();
    return true;
}

QString HelpWindow::currentTopic() const {
    return QFileInfo(browser_->source().toLocalFile()).fileName();
}
