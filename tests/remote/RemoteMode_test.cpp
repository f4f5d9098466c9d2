#include "remote/RemoteMode.h"
#include "rules/RulesSupport.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using namespace zorel8z::remote;
using model::PageMark;
using model::PanelConfig;
using rules::EditorState;
using rules::Mode;
using rules::Page;
using test::rules::U;

namespace {

std::array<PageMark, model::kPageCount> allMarks(PageMark m) {
    std::array<PageMark, model::kPageCount> out;
    out.fill(m);
    return out;
}

} // namespace

TEST(RemoteMode, Captions) {
    const struct {
        Mode mode;
        Page page;
        const char* read;
        const char* write;
    } cases[] = {
        {Mode::Local, Page::Users, " Зчитати конфігурацію по USB", " Записати конфігурацію по USB"},
        {Mode::Local, Page::Keys, " Зчитати конфігурацію по USB", " Записати конфігурацію по USB"},
        {Mode::Remote, Page::Network, " Зчитати \"Налаштування зв'язку\" по Internet",
         " Записати \"Налаштування зв'язку\" по Internet"},
        {Mode::Remote, Page::Users, " Зчитати \"Користувачі\" по Internet",
         " Записати \"Користувачі\" по Internet"},
        {Mode::Remote, Page::Zones, " Зчитати \"Шлейфи\" по Internet", " Записати \"Шлейфи\" по Internet"},
        {Mode::Remote, Page::Params, " Зчитати \"Параметри ППК\" по Internet",
         " Записати \"Параметри ППК\" по Internet"},
    };
    for (const auto& c : cases) {
        EditorState state;
        state.mode = c.mode;
        state.openPage = c.page;
        const ButtonCaptions captions = buttonCaptions(state);
        EXPECT_EQ(captions.read, U(c.read));
        EXPECT_EQ(captions.write, U(c.write));
        // Only the remote captions bring the renumbering button back.
        EXPECT_EQ(state.changePPKNumVisible, c.mode == Mode::Remote) << c.read;
    }
}

TEST(RemoteMode, LocalCaptionsLeaveTheRenumberingButtonAlone) {
    EditorState state;
    state.changePPKNumVisible = true;
    buttonCaptions(state);
    EXPECT_TRUE(state.changePPKNumVisible);
}

TEST(RemoteMode, SwitchToRemote) {
    const struct {
        Page open;
        Page after;
    } cases[] = {
        {Page::Network, Page::Network},
        {Page::Users, Page::Users},
        {Page::Zones, Page::Zones},
        {Page::Params, Page::Params},
        // The key page cannot be shown in remote mode: the page before it takes its place.
        {Page::Keys, Page::Params},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = test::rules::validConfig();
        cfg.serialNumber = QStringLiteral("000258");
        cfg.firmwareVersion = QStringLiteral("7");
        const PanelConfig before = cfg;
        EditorState state;
        state.openPage = c.open;
        state.marks = allMarks(PageMark::Synced);

        switchToRemote(cfg, state);

        EXPECT_EQ(state.mode, Mode::Remote);
        EXPECT_EQ(state.openPage, c.after);
        EXPECT_TRUE(state.changePPKNumVisible);
        EXPECT_TRUE(cfg.serialNumber.isEmpty());
        EXPECT_TRUE(cfg.firmwareVersion.isEmpty());
        // Hidden fields keep their values.
        EXPECT_TRUE(cfg.sameSettings(before));
        for (Page p : {Page::Network, Page::Users, Page::Zones, Page::Params})
            EXPECT_EQ(state.mark(p), PageMark::None) << int(p);
        EXPECT_EQ(state.mark(Page::Keys), PageMark::Synced);
    }
}

TEST(RemoteMode, SwitchToLocalKeepsTheHiddenFields) {
    PanelConfig cfg = test::rules::validConfig();
    EditorState state;
    switchToRemote(cfg, state);
    state.marks = allMarks(PageMark::Edited);

    switchToLocal(state);

    EXPECT_EQ(state.mode, Mode::Local);
    EXPECT_FALSE(state.changePPKNumVisible);
    EXPECT_EQ(state.marks, allMarks(PageMark::None));
    EXPECT_EQ(cfg.redIP, QStringLiteral("010.000.000.002"));
    EXPECT_EQ(cfg.redPort, 5001);
    EXPECT_EQ(cfg.pwd, QStringLiteral("123456"));
}

TEST(RemoteMode, SwitchesRepeatWithTheSameResult) {
    PanelConfig cfg;
    EditorState once;
    switchToRemote(cfg, once);
    EditorState twice;
    switchToRemote(cfg, twice);
    twice.changePPKNumVisible = false;
    switchToRemote(cfg, twice);
    EXPECT_EQ(twice.mode, once.mode);
    EXPECT_EQ(twice.changePPKNumVisible, once.changePPKNumVisible);
    EXPECT_EQ(twice.marks, once.marks);

    switchToLocal(once);
    switchToLocal(once);
    EXPECT_EQ(once.mode, Mode::Local);
    EXPECT_FALSE(once.changePPKNumVisible);
}

TEST(RemoteMode, PanelNumberForRemoteAccess) {
    const struct {
        int typed;
        int confNumber;
    } cases[] = {
        {57, 57},
        {0, 0},
        {65536, 65536},
        // The configuration's own number field stops at its range.
        {999999999, 65536},
    };
    for (const auto& c : cases) {
        PanelConfig cfg = test::rules::validConfig();
        EditorState state;
        state.mode = Mode::Remote;
        state.marks = allMarks(PageMark::Synced);
        onNumPPKChanged(cfg, state, c.typed);
        EXPECT_EQ(state.seNumPPK, c.typed);
        EXPECT_EQ(cfg.numPPK, c.confNumber);
        for (Page p : {Page::Network, Page::Users, Page::Zones, Page::Params})
            EXPECT_EQ(state.mark(p), PageMark::None) << int(p);
        EXPECT_EQ(state.mark(Page::Keys), PageMark::Synced);
    }
}

TEST(RemoteMode, RenumberingWarnsAndHidesTheButton) {
    PanelConfig cfg;
    EditorState state;
    switchToRemote(cfg, state);
    onNumPPKChanged(cfg, state, 57);
    const PanelConfig before = cfg;

    const QString warning = renumberWarning(state);

    EXPECT_EQ(warning, U("Увага! При зміні номера буде припинено обслуговування об'єкта №57 на ПЦС! "));
    EXPECT_FALSE(state.changePPKNumVisible);
    EXPECT_EQ(state.seNumPPK, 57);
    EXPECT_EQ(cfg, before);

    // Recomputing the captions in remote mode brings it back.
    buttonCaptions(state);
    EXPECT_TRUE(state.changePPKNumVisible);
}

TEST(RemoteMode, PageCaptions) {
    EXPECT_EQ(pageCaption(Page::Network), U("Налаштування зв'язку"));
    EXPECT_EQ(pageCaption(Page::Users), U("Користувачі"));
    EXPECT_EQ(pageCaption(Page::Zones), U("Шлейфи"));
    EXPECT_EQ(pageCaption(Page::Params), U("Параметри ППК"));
    EXPECT_EQ(pageCaption(Page::Keys), U("Налаштування QKL"));
}
