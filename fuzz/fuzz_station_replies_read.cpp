// The station's replies to a read, from the bytes on the wire to the record: the Content-Type's charset
// and the body's decoding, the "ok" and "no_data" classification, and the decode of the block.
//
// Input: the block (1..4), which reply is hostile (the query's or the poll's), the Content-Type up to
// a zero byte, then the body. Properties: a body without a charset is read one character per byte;
// the query is accepted exactly when its text is "ok"; a block reply changes only the fields of its
// block and only when it decoded whole; anything else leaves the record as it was.
#include "FuzzSupport.h"
#include "model/FrameCodec.h"
#include "remote/CurlHttpClient.h"
#include "remote/FakeHttpClient.h"
#include "remote/RemoteCommands.h"
#include "rules/EditorState.h"
#include "usb/CommandWatchdog.h"

using namespace zorel8z;

namespace {

// `a` with the fields of `block` taken from `b`: what a read of that block may change.
model::PanelConfig withBlockOf(model::PanelConfig a, const model::PanelConfig& b, int block) {
    switch (block) {
    case 1:
        a.numPPK = b.numPPK;
        a.serverIP = b.serverIP;
        a.serverPort = b.serverPort;
        a.apn = b.apn;
        a.apn2 = b.apn2;
        break;
    case 2:
        a.users = b.users;
        a.passwordsHidden = b.passwordsHidden;
        a.hiddenPasswords = b.hiddenPasswords;
        break;
    case 3:
        a.lines = b.lines;
        break;
    default:
        a.PwdLev1 = b.PwdLev1;
        a.PwdLev2 = b.PwdLev2;
        a.LowLevelV = b.LowLevelV;
        a.HiLevelV = b.HiLevelV;
        a.ppkType = b.ppkType;
        a.timeDelay = b.timeDelay;
        a.timeDelay2 = b.timeDelay2;
        a.UKworkTime = b.UKworkTime;
        a.UKon = b.UKon;
        a.UKoff = b.UKoff;
        a.UKinvert = b.UKinvert;
        a.Set1 = b.Set1;
        a.Set2 = b.Set2;
        break;
    }
    return a;
}

// Counts the results the workers hand back, as they arrive at the commands' thread.
class ResultCounter : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() >= QEvent::User)
            ++results;
        return false;
    }
    int results = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::ensureApp();
    fuzz::Input in(data, size);
    const int block = 1 + in.byte() % 4;
    const bool hostileQuery = in.byte() % 8 == 0;
    const QByteArray contentType = in.untilZero();
    const QByteArray body = in.rest();

    // Decoding the body.
    const QString text =
        remote::CurlHttpClient::decodeBody(body, contentType.isEmpty() ? nullptr : contentType.constData());
    if (!contentType.toLower().contains("charset"))
        fuzz::require(text.size() == body.size() && text.toLatin1() == body,
                      "no charset: one character per byte");

    model::PanelConfig cfg;
    cfg.numPPK = 4242;
    cfg.apn = QStringLiteral("before");
    cfg.lines[2] = {3, 1, 2};
    cfg.PwdLev1 = QStringLiteral("13579");
    const model::PanelConfig before = cfg;
    rules::EditorState state;
    state.mode = rules::Mode::Remote;
    state.openPage = rules::Page(block - 1);
    state.seNumPPK = 57;
    state.edPwd = QStringLiteral("123456");
    state.meRemoteServerIP = QStringLiteral("127.000.000.001");
    state.seRemoteServerPort = 15001;

    test::FakeHttpClient http;
    const model::PanelConfig onPanel;
    const controller::TController ctl;
    const QString goodBlock = model::blockObject(ctl, onPanel, block);
    if (hostileQuery) {
        http.script(QStringLiteral("/get_config"), {{text}});
        http.script(QStringLiteral("/read_config"), {{goodBlock}});
    } else {
        http.script(QStringLiteral("/get_config"), {{QStringLiteral("ok")}});
        // "no_data" polls again: the second answer ends the read.
        http.script(QStringLiteral("/read_config"), {{text}, {goodBlock}});
    }
    fuzz::RecordingUi ui;
    remote::RemoteTimings timings;
    timings.pollMs = 0;
    bool ended = false;
    bool filled = false;
    {
        usb::CommandWatchdog watchdog(state, ui, 30000);
        remote::RemoteCommands commands(cfg, state, http, ui, watchdog, timings);
        ResultCounter counter;
        commands.installEventFilter(&counter);
        QObject::connect(&commands, &remote::RemoteCommands::commandEnded, [&] { ended = true; });
        QObject::connect(&commands, &remote::RemoteCommands::pageFilled, [&] { filled = true; });
        commands.readCommand();
        if (hostileQuery && text != QStringLiteral("ok")) {
            // A refused query leaves the read to its watchdog: once its result is handled, no poll
            // may follow.
            fuzz::require(fuzz::runUntil([&] { return counter.results >= 1; }), "the query's result arrives");
            QCoreApplication::processEvents();
            fuzz::require(http.count(QStringLiteral("/read_config")) == 0, "only \"ok\" accepts the query");
            fuzz::require(cfg == before, "a refused query changes nothing");
            return 0;
        }
        fuzz::require(fuzz::runUntil([&] { return ended; }), "the read ends");
    }
    fuzz::require(http.count(QStringLiteral("/read_config")) >= 1, "an accepted query is followed by polls");

    const bool polledAgain = !hostileQuery && text == QStringLiteral("no_data");
    const QString decoded = (hostileQuery || polledAgain) ? goodBlock : text;
    if (!hostileQuery)
        fuzz::require(http.count(QStringLiteral("/read_config")) == (polledAgain ? 2 : 1),
                      "exactly \"no_data\" or nothing is polled again");
    if (!hostileQuery && text.isEmpty())
        fuzz::require(
            !filled && ui.shown == QStringList{QStringLiteral("Сервер зайнятий! Повторіть спробу пізніше!")},
            "an empty poll reply is a busy server");
    if (!filled) {
        fuzz::require(cfg == before, "a block that did not decode changes nothing");
        return 0;
    }
    fuzz::require(withBlockOf(before, cfg, block) == cfg, "a read changes only its own block");
    // What was applied is what that text decodes to.
    model::PanelConfig direct = before;
    fuzz::SilentUi quiet;
    if (block == 2)
        direct.passwordsHidden = true;
    switch (block) {
    case 1:
        model::decodeNetworkBlock(ctl, model::ConnectionType::Internet, decoded, direct);
        direct.numPPK = 57; // the number the panel was addressed by
        break;
    case 2:
        model::decodeUsersBlock(ctl, model::ConnectionType::Internet, decoded, direct);
        break;
    case 3:
        model::decodeZonesBlock(ctl, model::ConnectionType::Internet, decoded, direct);
        break;
    default:
        model::decodeParamsBlock(ctl, model::ConnectionType::Internet, decoded, direct, quiet);
        break;
    }
    direct.pwd = before.pwd;
    fuzz::require(cfg == direct, "the record holds what the block decodes to");
    return 0;
}
