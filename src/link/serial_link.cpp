#include "link/serial_link.h"

#include <QSerialPortInfo>
#include <iterator>

#include "settings/connection_names.h"

namespace zv {

namespace {

constexpr QSerialPort::Parity ParityByName[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                QSerialPort::SpaceParity};
static_assert(std::size(ParityByName) == ParityNames.size());

template <std::size_t N>
QStringList toQStringList(const std::array<std::string_view, N>& names) {
    QStringList list;
    for (std::string_view n : names) list << QString::fromLatin1(n.data(), qsizetype(n.size()));
    return list;
}

// "Custom" names no speed of its own and nothing else sets one, so it runs at 9600.
qint32 lineSpeed(const QString& baudName) {
    bool ok = false;
    const qint32 speed = baudName.toInt(&ok);
    return ok ? speed : 9600;
}

QSerialPort::Parity parityOf(const QString& name) {
    for (std::size_t i = 0; i < ParityNames.size(); ++i)
        if (name.toStdString() == ParityNames[i]) return ParityByName[i];
    return QSerialPort::NoParity;
}

}  // namespace

SerialLink::SerialLink(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::onPortError);
}

SerialLink::~SerialLink() = default;

QStringList SerialLink::baudRateNames() {
    return toQStringList(BaudRateNames);
}

QStringList SerialLink::parityNames() {
    return toQStringList(ParityNames);
}

QStringList SerialLink::availablePorts(const QString& configuredPort) {
    QStringList ports;
    bool listed = false;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        ports << info.portName();
        listed =
            listed || info.portName() == configuredPort || info.systemLocation() == configuredPort;
    }
    if (!listed && !configuredPort.isEmpty()) ports << configuredPort;
    return ports;
}

QString SerialLink::portUnavailableText(const QString& portName) {
    return QStringLiteral("Порт ") + portName + QStringLiteral(" не доступен");
}

void SerialLink::setPortName(const QString& name) {
    portName_ = name;
}

void SerialLink::setBaudRate(const QString& name) {
    baudRate_ = QString::fromStdString(canonicalBaudRate(name.toStdString()));
    if (isOpen()) port_.setBaudRate(lineSpeed(baudRate_));
}

void SerialLink::setParity(const QString& name) {
    parity_ = QString::fromStdString(canonicalParity(name.toStdString()));
    if (isOpen()) port_.setParity(parityOf(parity_));
}

bool SerialLink::open() {
    close();
    decoder_.reset();
    emit aboutToOpen();

    ignoreErrors_ = true;
    port_.setPortName(portName_);
    applyLineSettings();
    const bool opened = port_.open(QIODevice::ReadOnly);
    if (opened) holdControlLinesInactive();
    errorString_ = opened ? QString() : port_.errorString();
    port_.clearError();
    ignoreErrors_ = false;
    return opened;
}

void SerialLink::applyLineSettings() {
    port_.setBaudRate(lineSpeed(baudRate_));
    port_.setParity(parityOf(parity_));
    port_.setDataBits(QSerialPort::Data8);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
}

void SerialLink::holdControlLinesInactive() {
    // A pseudo-terminal has no modem lines and refuses with "Inappropriate ioctl for
    // device"; the link works without them, so the refusal is not an error.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
}

void SerialLink::close() {
    if (!port_.isOpen()) return;
    // Restoring the line settings of a port that is already gone fails; that is no news.
    ignoreErrors_ = true;
    port_.close();
    port_.clearError();
    ignoreErrors_ = false;
}

bool SerialLink::isOpen() const {
    return port_.isOpen();
}

int SerialLink::poll() {
    int accepted = 0;
    while (isOpen() && port_.bytesAvailable() > 0) {
        const qint64 got = port_.read(readBuf_.data(), static_cast<qint64>(readBuf_.size()));
        if (got < 0) {
            fail();
            break;
        }
        for (qint64 i = 0; i < got; ++i) {
            if (!decoder_.feed(static_cast<uint8_t>(readBuf_[static_cast<std::size_t>(i)])))
                continue;
            ++accepted;
            if (frameHandler_) frameHandler_(decoder_.frame());
            if (!isOpen()) return accepted;  // the handler closed the link
        }
    }
    return accepted;
}

void SerialLink::onPortError(QSerialPort::SerialPortError error) {
    if (ignoreErrors_ || error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    if (isOpen()) fail();
}

void SerialLink::fail() {
    // Report a dead port once and stop using it, rather than failing on every tick.
    errorString_ = port_.errorString();
    port_.clearError();
    close();
    emit failed(portUnavailableText(portName_));
}

}  // namespace zv
