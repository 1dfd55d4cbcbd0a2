#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QProcess>
#include <QString>

#include <memory>

namespace zv::test {

// Debian's headless chromium driven through chromedriver's WebDriver protocol: a real browser
// that fills the forms, follows the links and prints, as an office user would.
class Browser {
public:
    // Starts chromedriver and a browser session; null when chromium or its driver is missing
    // or does not start (why() says which).
    static std::unique_ptr<Browser> start(QString& why);
    ~Browser();

    void open(const QString& url);
    QString url();
    QString source();
    // The first element the CSS selector finds; throws when there is none.
    QString element(const QString& css);
    void type(const QString& css, const QString& text);
    void click(const QString& css);
    // Clicks a form's button and waits until the page it leads to has loaded.
    void submit(const QString& css);
    QString cookie(const QString& name);
    QByteArray screenshotPng();
    QByteArray printPdf();

private:
    Browser() = default;
    QJsonValue call(const QString& method, const QString& path, const QJsonObject& body = {});

    QProcess driver_;
    int port_ = 0;
    QString session_;
    QString profile_;
};

}  // namespace zv::test
