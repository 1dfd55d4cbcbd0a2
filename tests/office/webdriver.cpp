#include "office/webdriver.h"

#include "central/loopback_port.h"
#include "office/http_client.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QThread>

#include <stdexcept>

namespace zv::test {

namespace {

const QString kElementKey = QStringLiteral("element-6066-11e4-a52e-4f735466cecf");

QString firstFound(const QStringList& paths) {
    for (const QString& p : paths)
        if (QFile::exists(p)) return p;
    return {};
}

}  // namespace

QJsonValue Browser::call(const QString& method, const QString& path, const QJsonObject& body) {
    const QByteArray json = method == QStringLiteral("GET") ? QByteArray() : QJsonDocument(body).toJson(QJsonDocument::Compact);
    const HttpReply reply = httpRequest(port_, method, path, json, {{QStringLiteral("Content-Type"), QStringLiteral("application/json")}});
    const QJsonObject answer = QJsonDocument::fromJson(reply.body).object();
    const QJsonValue value = answer.value(QStringLiteral("value"));
    if (reply.status != 200)
        throw std::runtime_error("webdriver " + path.toStdString() + ": " + value.toObject().value(QStringLiteral("message")).toString().toStdString());
    return value;
}

std::unique_ptr<Browser> Browser::start(QString& why) {
    const QString driverPath = firstFound({QStringLiteral("/usr/bin/chromedriver"), QStringLiteral("/usr/lib/chromium/chromedriver")});
    const QString chromium = firstFound({QStringLiteral("/usr/bin/chromium")});
    if (driverPath.isEmpty() || chromium.isEmpty()) {
        why = QStringLiteral("chromium or chromium-driver is not installed (scripts/install-deps.sh)");
        return nullptr;
    }
    std::unique_ptr<Browser> b(new Browser);
    b->port_ = closedPort();
    b->driver_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    b->driver_.setStandardOutputFile(QProcess::nullDevice());
    b->driver_.start(driverPath, {QStringLiteral("--port=%1").arg(b->port_)});
    if (!b->driver_.waitForStarted(5000)) {
        why = QStringLiteral("chromedriver did not start");
        return nullptr;
    }
    for (int i = 0; i < 100; ++i) {
        try {
            if (b->call(QStringLiteral("GET"), QStringLiteral("/status")).toObject().value(QStringLiteral("ready")).toBool()) break;
        } catch (const std::exception&) {
        }
        QThread::msleep(50);
    }
    b->profile_ = QDir::tempPath() + QStringLiteral("/zolvelt-chromium-%1").arg(b->port_);
    const QJsonArray args = {QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"),
                             QStringLiteral("--disable-dev-shm-usage"), QStringLiteral("--window-size=1300,900"),
                             QStringLiteral("--lang=ru"), QStringLiteral("--user-data-dir=") + b->profile_};
    const QJsonObject capabilities{
        {QStringLiteral("alwaysMatch"),
         QJsonObject{{QStringLiteral("goog:chromeOptions"), QJsonObject{{QStringLiteral("binary"), chromium}, {QStringLiteral("args"), args}}}}}};
    try {
        const QJsonObject made = b->call(QStringLiteral("POST"), QStringLiteral("/session"), {{QStringLiteral("capabilities"), capabilities}}).toObject();
        b->session_ = made.value(QStringLiteral("sessionId")).toString();
    } catch (const std::exception& e) {
        why = QStringLiteral("chromium did not start: %1").arg(QString::fromStdString(e.what()));
        return nullptr;
    }
    return b;
}

Browser::~Browser() {
    try {
        if (!session_.isEmpty()) call(QStringLiteral("DELETE"), QStringLiteral("/session/") + session_);
    } catch (const std::exception&) {
    }
    driver_.terminate();
    if (!driver_.waitForFinished(3000)) driver_.kill();
    driver_.waitForFinished(1000);
    if (!profile_.isEmpty()) QDir(profile_).removeRecursively();
}

void Browser::open(const QString& url) { call(QStringLiteral("POST"), QStringLiteral("/session/%1/url").arg(session_), {{QStringLiteral("url"), url}}); }

QString Browser::url() { return call(QStringLiteral("GET"), QStringLiteral("/session/%1/url").arg(session_)).toString(); }

QString Browser::source() { return call(QStringLiteral("GET"), QStringLiteral("/session/%1/source").arg(session_)).toString(); }

QString Browser::element(const QString& css) {
    const QJsonObject found = call(QStringLiteral("POST"), QStringLiteral("/session/%1/element").arg(session_),
                                   {{QStringLiteral("using"), QStringLiteral("css selector")}, {QStringLiteral("value"), css}})
                                  .toObject();
    return found.value(kElementKey).toString();
}

void Browser::type(const QString& css, const QString& text) {
    const QString id = element(css);
    call(QStringLiteral("POST"), QStringLiteral("/session/%1/element/%2/clear").arg(session_, id));
    call(QStringLiteral("POST"), QStringLiteral("/session/%1/element/%2/value").arg(session_, id), {{QStringLiteral("text"), text}});
}

void Browser::click(const QString& css) {
    call(QStringLiteral("POST"), QStringLiteral("/session/%1/element/%2/click").arg(session_, element(css)));
}

void Browser::submit(const QString& css) {
    const QString before = url();
    click(css);
    // A form's submission is queued after the click: wait for the next page, loaded.
    for (int i = 0; i < 200; ++i) {
        const QString state = call(QStringLiteral("POST"), QStringLiteral("/session/%1/execute/sync").arg(session_),
                                   {{QStringLiteral("script"), QStringLiteral("return document.readyState")},
                                    {QStringLiteral("args"), QJsonArray()}})
                                  .toString();
        if (url() != before && state == QStringLiteral("complete")) return;
        QThread::msleep(25);
    }
    throw std::runtime_error("the form at " + before.toStdString() + " led nowhere");
}

QString Browser::cookie(const QString& name) {
    return call(QStringLiteral("GET"), QStringLiteral("/session/%1/cookie/%2").arg(session_, name)).toObject().value(QStringLiteral("value")).toString();
}

QByteArray Browser::screenshotPng() {
    return QByteArray::fromBase64(call(QStringLiteral("GET"), QStringLiteral("/session/%1/screenshot").arg(session_)).toString().toLatin1());
}

QByteArray Browser::printPdf() {
    return QByteArray::fromBase64(call(QStringLiteral("POST"), QStringLiteral("/session/%1/print").arg(session_),
                                       {{QStringLiteral("orientation"), QStringLiteral("landscape")}})
                                      .toString()
                                      .toLatin1());
}

}  // namespace zv::test
