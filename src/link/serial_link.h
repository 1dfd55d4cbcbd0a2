#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

#include "link/frame_decoder.h"

namespace zv {

// The receive-only serial line from the converter. Holds the port settings (the settings
// file reads them back from here), feeds every received byte to the FrameDecoder and hands
// each accepted frame to the frame handler. Everything runs on the GUI thread: bytes wait
// in QSerialPort between ticks and poll() takes them.
class SerialLink : public QObject {
    Q_OBJECT

public:
    using FrameHandler = std::function<void(const DecodedFrame&)>;

    explicit SerialLink(QObject* parent = nullptr);
    ~SerialLink() override;

    // Names the selectors offer, in the letter case they are written back with.
    static QStringList baudRateNames();
    static QStringList parityNames();
    // The ports the system reports, then the configured one if the system does not list
    // it (a pseudo-terminal, an adapter that is unplugged right now).
    static QStringList availablePorts(const QString& configuredPort);
    // "Порт <name> не доступен"
    static QString portUnavailableText(const QString& portName);

    // Port settings take effect at the next open(); speed and parity also on an open port.
    void setPortName(const QString& name);
    // Matched without regard to letter case; an unknown name becomes "9600" / "None".
    void setBaudRate(const QString& name);
    void setParity(const QString& name);
    QString portName() const { return portName_; }
    QString baudRate() const { return baudRate_; }
    QString parity() const { return parity_; }

    // Resets the decoder and emits aboutToOpen, then opens the port 8N1, no flow control,
    // DTR and RTS low. False when the port cannot be opened: see errorString().
    bool open();
    void close();
    bool isOpen() const;
    // The system's words for the last failure.
    QString errorString() const { return errorString_; }

    // Decodes every byte waiting at the port; returns the number of accepted frames.
    int poll();

    // Called for every accepted frame, inside poll(). The handler records the frame, calls
    // decoder().onCalibrationMark(SmpCnt) for a marked frame, then filters it.
    void setFrameHandler(FrameHandler handler) { frameHandler_ = std::move(handler); }
    FrameDecoder& decoder() { return decoder_; }
    const FrameDecoder& decoder() const { return decoder_; }

signals:
    // Before every opening: the filter stage restarts (SmpCnt, FltRestart, ZeroRequest).
    void aboutToOpen();
    // The open port failed (adapter unplugged, device gone). Emitted once; the link has
    // already closed itself. message is portUnavailableText of the port.
    void failed(const QString& message);

private:
    void applyLineSettings();
    void holdControlLinesInactive();
    void onPortError(QSerialPort::SerialPortError error);
    void fail();

    QSerialPort port_;
    QString portName_ = QStringLiteral("_");
    QString baudRate_ = QStringLiteral("19200");
    QString parity_ = QStringLiteral("Even");
    QString errorString_;
    bool ignoreErrors_ = false;  // while opening or closing: errors there are not a dead link
    FrameDecoder decoder_;
    FrameHandler frameHandler_;
    std::array<char, 512> readBuf_{};
};

}  // namespace zv
