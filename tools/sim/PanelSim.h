#pragma once

#include "controller/TController.h"
#include "model/PanelConfig.h"
#include "sim/Pty.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <QTimer>

#include <vector>

class QSocketNotifier;

namespace zorel8z::sim {

// Ways a simulated panel can misbehave; the defaults give a well-behaved panel. They can be combined;
// what the reply holds is decided first (broken block, tail, short, garbage), then how it travels
// (pieces, pacing, hang-up).
struct PanelFaults {
    int pieceSize = 0;        // > 0: every reply goes out in pieces of this many bytes...
    int pieceGapMs = 0;       // ...with this pause between them
    bool paced = false;       // bytes leave no faster than a 9600-baud line carries them
    bool silent = false;      // requests are counted, nothing is answered and no write is applied
    int shortReply = 0;       // > 0: only the first N bytes of the frame are sent
    int garbage = 0;          // > 0: N random bytes are sent instead of the frame
    quint32 garbageSeed = 0;  // 0: a different sequence every run
    bool noAck = false;       // writes are applied but never acknowledged
    bool frameForAck = false; // writes are applied and answered with the configuration frame, not "-<"
    int brokenBlock = 0;      // 1..5: that block of the frame is sent as invalid JSON
    int tail = 0;             // > 0: N extra bytes follow the frame
    int hangUpAfter = -1;     // >= 0: the next reply is cut after N bytes and the line is then hung up
    bool alterWrites = false; // writes are acknowledged but stored changed (see alteredWrite)
    std::vector<int> splitAt; // a pause after each of these counts of bytes sent (ascending, > 0)...
    int splitGapMs = 20;      // ...this long
};

// A simulated control panel on a pseudo-terminal. It answers the read request "@" CR LF with its
// configuration frame (the write frame without its "->", plus firmware and serial number bytes)
// and a write frame "->"... CR LF with "-<" CR LF once the frame decodes. Everything else is ignored.
// Runs on the thread's event loop; a QCoreApplication must exist.
class PanelSim : public QObject {
    Q_OBJECT
  public:
    // 1-based positions of the identity bytes in the frame as the panel sends it.
    static constexpr int kFirmwarePos = 902;
    static constexpr int kSerialLowPos = 951;
    static constexpr int kSerialHighPos = 952;
    // Pacing lets out at most this many bytes per write, so a late timer never turns into a burst.
    static constexpr int kMaxPacedChunk = 16;

    explicit PanelSim(QObject* parent = nullptr);
    ~PanelSim() override;

    // Creates the pty (and the symlink when given) and starts listening. False: see errorString().
    bool open(const QString& linkPath = QString());
    QString devicePath() const { return m_pty.devicePath(); }
    QString slavePath() const { return m_pty.slavePath(); }
    QString errorString() const { return m_error; }
    Pty& pty() { return m_pty; }

    const model::PanelConfig& config() const { return m_config; }
    void setConfig(const model::PanelConfig& cfg) { m_config = cfg; }
    // Loads a .c8z or .json file; false (config unchanged, errorString() set) when it cannot.
    bool loadConfig(const QString& path);

    quint16 serialNumber() const { return m_serial; }
    void setSerialNumber(quint16 serial) { m_serial = serial; }
    quint8 firmwareByte() const { return m_firmware; }
    void setFirmwareByte(quint8 firmware) { m_firmware = firmware; }

    // After each accepted write the configuration is saved there (.json or .c8z by extension).
    void setSavePath(const QString& path) { m_savePath = path; }
    QString savePath() const { return m_savePath; }

    const PanelFaults& faults() const { return m_faults; }
    void setFaults(const PanelFaults& faults);

    int readRequests() const { return m_readRequests; }
    int writeFrames() const { return m_writeFrames; }
    int acceptedWrites() const { return m_acceptedWrites; }
    // The last write frame as it arrived, "->" and CR LF included.
    QByteArray lastWriteFrame() const { return m_lastWriteFrame; }
    bool isHungUp() const { return m_hungUp; }

    // The frame a well-behaved panel holding `cfg` sends, one byte per character.
    static QByteArray frameFor(const model::PanelConfig& cfg, quint16 serial, quint8 firmware);
    // The frame with block `block` (1..5) made invalid JSON.
    static QByteArray breakBlock(QByteArray frame, int block);
    // One byte per character: the low 8 bits of each code, as the serial line carries it.
    static QByteArray toWire(const QString& text);

    // The reply to a read request under the present configuration and faults, before pieces,
    // pacing and hang-up shape its delivery.
    QByteArray readReply();

    // Drops the line now, as an unplugged device would.
    void hangUp();

    // What a panel with a fault in its memory keeps of a written configuration: the entry/exit delay
    // of groups 1-4 one second off.
    static model::PanelConfig alteredWrite(model::PanelConfig cfg);

  signals:
    void readRequested();
    void writeReceived(const QByteArray& frame);
    void writeAccepted();
    void writeRejected(const QString& reason);
    // Every write to the line, in order, as it went out.
    void chunkSent(const QByteArray& bytes);
    // The whole queued output has gone out.
    void outputDrained();
    void hungUp();
    // Something the operator should know (a failed save, a message from decoding a write).
    void notice(const QString& text);

  private:
    void onReadable();
    void handleLine(const QByteArray& line);
    void handleWrite(const QByteArray& frame);
    void reply(QByteArray bytes);
    void pump();
    void checkDrainedForHangUp();

    Pty m_pty;
    QSocketNotifier* m_readNotifier = nullptr;
    QSocketNotifier* m_writeNotifier = nullptr;
    controller::TController m_ctl;
    model::PanelConfig m_config;
    quint16 m_serial = 0;
    quint8 m_firmware = 0;
    QString m_savePath;
    PanelFaults m_faults;
    QRandomGenerator m_rng;
    QString m_error;

    QByteArray m_in;
    int m_readRequests = 0;
    int m_writeFrames = 0;
    int m_acceptedWrites = 0;
    QByteArray m_lastWriteFrame;

    // Outgoing bytes and how they are let out.
    QByteArray m_out;
    QTimer m_pumpTimer;
    int m_pieceLeft = 0;
    QElapsedTimer m_gapClock;
    // Bytes sent since the output was last empty, and the pause at a split point.
    qint64 m_runSent = 0;
    QElapsedTimer m_splitClock;
    QElapsedTimer m_paceClock;
    qint64 m_pacedSent = 0;

    // Hang-up after a cut reply: bytes still to go, then a wait until the client has read them.
    qint64 m_hangUpCountdown = -1;
    QTimer m_drainTimer;
    QElapsedTimer m_drainClock;
    bool m_hungUp = false;
};

} // namespace zorel8z::sim
