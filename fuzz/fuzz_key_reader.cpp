// Key-reader bursts in any split: fewer than 16 bytes wait for the rest; a burst of 16 or more is
// taken whole, and it goes into the chosen user's cell exactly when, without CR, LF and blanks and
// upper-cased, it is 16 hexadecimal digits; otherwise the cell stays and the format message shows.
#include "FuzzSupport.h"
#include "model/PanelConfig.h"
#include "rules/EditorState.h"
#include "support/FakeSerialPort.h"
#include "usb/KeyReader.h"

using namespace zorel8z;

namespace {

// The rule as the installers' documents state it, written out apart from the reader's code.
QString expectedCode(const QByteArray& burst) {
    QString code;
    for (char c : burst) {
        if (c == '\r' || c == '\n' || c == ' ')
            continue;
        if (c >= 'a' && c <= 'f')
            c = char(c - 'a' + 'A');
        const bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
        if (!hex)
            return QString();
        code += QLatin1Char(c);
    }
    return code.size() == 16 ? code : QString();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApp();
    fuzz::Input in(data, size);
    const int user = in.byte() % 26; // 0 and 25: no user chosen
    const int pieces = 1 + in.byte() % 6;
    std::vector<int> lengths;
    for (int k = 0; k < pieces; ++k)
        lengths.push_back(in.byte() % 64);
    const QByteArray bytes = in.rest();

    model::PanelConfig cfg;
    rules::EditorState state;
    state.readerUser = user;
    test::FakeSerialPort reader, panel;
    fuzz::RecordingUi ui;
    usb::KeyReader keys(cfg, state, reader, panel, ui);
    keys.setReading(true);
    fuzz::require(reader.writes.isEmpty(), "nothing is ever written to the reader");

    qsizetype offset = 0;
    for (int length : lengths) {
        const QByteArray chunk = bytes.mid(offset, length);
        offset += chunk.size();
        const QByteArray burst = reader.waiting + chunk;
        const model::PanelConfig cfgBefore = cfg;
        const qsizetype shownBefore = ui.shown.size();
        reader.arrive(chunk);
        if (burst.size() < 16) {
            fuzz::require(reader.waiting == burst && cfg == cfgBefore && ui.shown.size() == shownBefore,
                          "a short burst waits for the rest");
            continue;
        }
        fuzz::require(reader.waiting.isEmpty(), "a burst is taken whole");
        const QString code = expectedCode(burst);
        if (code.isEmpty()) {
            fuzz::require(cfg == cfgBefore, "a bad burst changes no cell");
            fuzz::require(ui.shown.size() == shownBefore + 1 &&
                              ui.shown.last() == QStringLiteral("Невірний формат коду!"),
                          "a bad burst is reported");
            continue;
        }
        fuzz::require(ui.shown.size() == shownBefore, "a good burst shows nothing");
        model::PanelConfig expected = cfgBefore;
        if (user >= 1 && user <= model::kUserCount)
            expected.UVICode[size_t(user - 1)] = code;
        fuzz::require(cfg == expected, "a good burst fills the chosen user's cell only");
    }
    keys.setReading(false);
    fuzz::require(state.commandsEnabled && !reader.isOpen(), "releasing the toggle stops reading");
    return 0;
}
