#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

// The program's own help viewer: HTML pages named after their topics in a folder.
class HelpWindow : public QDialog {
    Q_OBJECT
  public:
    HelpWindow(const QString& folder, QWidget* parent);

    const QString& folder() const { return folder_; }
    // Full path of the page of `topic`.
    QString pagePath(const QString& topic) const;
    // Shows the page and raises the window; false (and nothing shown) when the page is missing.
    bool showTopic(const QString& topic);
    QString currentTopic() const;

  private:
    QString folder_;
    QTextBrowser* browser_ = nullptr;
};
