// The USB receive path: a read request answered by bytes in any split, with the delay check and the
// watchdog firing between the pieces, through the count dispatch to the whole-frame decode.
//
// Input: a piece count, then per piece its length and what happens after it, then the bytes.
// Properties: counts 2..10 are taken off the line, 11..899 are left waiting, 900 or more are taken
// as one frame; a frame either replaces the whole record (identity from bytes 902, 951, 952; every
// page in step) or changes nothing; a command always ends with the buttons given back.
#include "FuzzSupport.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"
#include "support/FakeSerialPort.h"
#include "usb/CommandWatchdog.h"
#include "usb/UsbCommands.h"

using namespace zorel8z;

namespace {

int byteAt(const QByteArray& bytes, int position) {
    return position <= bytes.size() ? static_cast<unsigned char>(bytes[position - 1]) : 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApp();
    fuzz::Input in(data, size);
    const int pieces = 1 + in.byte() % 8;
    struct Piece {
        int length;
        int after; // 0 nothing, 1 the delay check, 2 the watchdog
    };
    std::vector<Piece> plan;
    for (int k = 0; k < pieces; ++k) {
        const int length = in.word() % 1200;
        plan.push_back({length, in.byte() % 3});
    }
    const QByteArray bytes = in.rest();

    model::PanelConfig cfg;
    cfg.numPPK = 4242;
    cfg.passwordsHidden = true;
    cfg.hiddenPasswords[0] = QStringLiteral("1234");
    const model::PanelConfig before = cfg;
    rules::EditorState state;
    test::FakeSerialPort port;
    fuzz::RecordingUi ui;
    // Timers far away: the plan fires them.
    usb::CommandWatchdog watchdog(state, ui, 600000);
    usb::UsbCommands commands(cfg, state, port, ui, watchdog, usb::UsbTimings{600000, 600000});
    int replacements = 0;
    QObject::connect(&commands, &usb::UsbCommands::configReplaced, [&] { ++replacements; });
    commands.choosePort(QStringLiteral("COM1"));
    commands.readCommand();
    fuzz::require(port.writes.size() == 1 && port.writes[0] == QByteArray("@\r\n"),
                  "the read request is sent");

    qsizetype offset = 0;
    for (const Piece& p : plan) {
        const QByteArray chunk = bytes.mid(offset, p.length);
        offset += chunk.size();
        const QByteArray waitingBefore = port.waiting + chunk;
        const qint64 count = waitingBefore.size();
        const model::PanelConfig cfgBefore = cfg;
        const int replacementsBefore = replacements;
        const qsizetype shownBefore = ui.shown.size();
        port.arrive(chunk);
        if (count >= 2 && count <= 10)
            fuzz::require(port.waiting.isEmpty(), "a short reply is taken off the line");
        else if (count < 900)
            fuzz::require(port.waiting == waitingBefore, "a part of a frame is left waiting");
        else
            fuzz::require(port.waiting.isEmpty(), "a frame is taken whole");
        if (count < 900)
            fuzz::require(replacements == replacementsBefore && cfg == cfgBefore, "no frame, no change");
        else if (replacements > replacementsBefore) {
            const int serial = byteAt(waitingBefore, 952) * 256 + byteAt(waitingBefore, 951);
            fuzz::require(cfg.serialNumber == QStringLiteral("000") + QString::number(serial),
                          "the serial number is bytes 951 and 952");
            fuzz::require(cfg.firmwareVersion == QString::number(byteAt(waitingBefore, 902) + 1),
                          "the firmware version is byte 902 plus 1");
            fuzz::require(!cfg.passwordsHidden, "a decoded frame shows the passwords");
            for (int page = 0; page < model::kPageCount; ++page)
                fuzz::require(state.mark(rules::Page(page)) == model::PageMark::Synced, "every page in step");
            fuzz::require(state.commandsEnabled, "a decoded frame ends the read");
        } else {
            fuzz::require(cfg == cfgBefore, "a broken frame changes nothing");
            fuzz::require(ui.shown.size() > shownBefore, "a broken frame is reported");
        }
        if (p.after == 1)
            commands.onDelayCheckTick();
        else if (p.after == 2)
            watchdog.onTick();
        if (replacements == 0)
            fuzz::require(cfg == before, "nothing changes until a frame decodes");
    }
    // However the pieces came, the command ends and gives the buttons back.
    commands.onDelayCheckTick();
    watchdog.onTick();
    fuzz::require(state.commandsEnabled, "the command gives the buttons back");
    return 0;
}
