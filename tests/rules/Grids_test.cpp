#include "rules/Grids.h"
#include "rules/RulesSupport.h"

#include <gtest/gtest.h>

using namespace zorel8z;
using namespace zorel8z::rules;
using namespace zorel8z::test::rules;
using model::PageMark;
using model::PanelConfig;
using test::RecordingUi;

namespace {
const QChar kEnter(13);
} // namespace

TEST(GridMasks, ByColumn) {
    EXPECT_EQ(usersEditMask(0), QString());
    EXPECT_EQ(usersEditMask(1), U("0"));
    EXPECT_EQ(usersEditMask(2), U("0000"));
    EXPECT_EQ(keyCodesEditMask(0), QString());
    EXPECT_EQ(keyCodesEditMask(1), U("AAAAAAAAAAAAAAAA"));
}

TEST(NormalizeUserCells, UndoesBadGroupsAndCompletesShortPasswords) {
    const struct {
        const char* editStart;
        const char* group;
        const char* password;
        const char* groupAfter;
        const char* passwordAfter;
    } cases[] = {
        {"3", "9", "1234", "3", "1234"}, {"3", "0", "1234", "3", "1234"}, {"3", "", "1234", "3", "1234"},
        {"3", " ", "1234", "3", "1234"}, {"3", "5", "1234", "5", "1234"}, {"3", "8", "1234", "8", "1234"},
        {"3", "1", "5", "1", "5000"},    {"3", "1", "12", "1", "1200"},   {"3", "1", "", "1", "0000"},
        {"3", "1", " 1 2", "1", "1200"}, {"3", "1", "12 4", "1", "1240"}, {"3", "1", "****", "1", "****"},
        {"3", "1", "0000", "1", "0000"}, {"0", "9", "1", "0", "1000"},
    };
    for (const auto& c : cases) {
        PanelConfig cfg;
        EditorState state;
        state.editStartText = U(c.editStart);
        cfg.users[6] = {U(c.group), U(c.password)};
        const PanelConfig untouched = cfg;
        NormalizeUserCells(cfg, state);
        EXPECT_EQ(cfg.users[6].group, U(c.groupAfter)) << c.group << "/" << c.password;
        EXPECT_EQ(cfg.users[6].password, U(c.passwordAfter)) << c.group << "/" << c.password;
        for (int k = 0; k < model::kUserCount; ++k) {
            if (k != 6) {
                EXPECT_EQ(cfg.users[size_t(k)], untouched.users[size_t(k)]) << k;
            }
        }
    }
}

TEST(NormalizeUserCells, CoversEveryRowInOnePass) {
    PanelConfig cfg;
    EditorState state;
    state.editStartText = U("2");
    cfg.users[0] = {U("9"), U("7")};
    cfg.users[23] = {U("0"), U("")};
    NormalizeUserCells(cfg, state);
    EXPECT_EQ(cfg.users[0], (model::UserEntry{U("2"), U("7000")}));
    EXPECT_EQ(cfg.users[23], (model::UserEntry{U("2"), U("0000")}));
}

TEST(NormalizeKeyCodes, CompletesShortCodesAndClearsNearlyEmptyOnes) {
    const struct {
        const char* cell;
        const char* after;
        bool reported;
    } cases[] = {
        {"0000000000000ABC", "0000000000000000", true},
        {"000000000000ABCD", "000000000000ABCD", false},
        {"ABC", "ABC0000000000000", false},
        {"1", "1000000000000000", false},
        {"", "0000000000000000", false},
        {"A B C", "ABC0000000000000", false},
        {"0000000000001", "0000000000001000", false},
        {"000000000000001", "0000000000000000", true},
        {"0000000000000000", "0000000000000000", false},
        {"0123456789ABCDEF", "0123456789ABCDEF", false},
    };
    for (const auto& c : cases) {
        PanelConfig cfg;
        cfg.UVICode[10] = U(c.cell);
        RecordingUi ui;
        NormalizeKeyCodes(cfg, ui);
        EXPECT_EQ(cfg.UVICode[10], U(c.after)) << c.cell;
        EXPECT_EQ(ui.texts(), c.reported ? T({text::badCode}) : QStringList()) << c.cell;
        if (c.reported) {
            EXPECT_EQ(ui.messages[0].first, MsgIcon::Error);
        }
    }
}

TEST(NormalizeKeyCodes, OneMessagePerBadRow) {
    PanelConfig cfg;
    cfg.UVICode[2] = U("0000000000000001");
    cfg.UVICode[5] = U("12");
    cfg.UVICode[8] = U("00000000000000FF");
    RecordingUi ui;
    NormalizeKeyCodes(cfg, ui);
    EXPECT_EQ(ui.texts(), T({text::badCode, text::badCode}));
    EXPECT_EQ(cfg.UVICode[2], model::kEmptyKeyCode);
    EXPECT_EQ(cfg.UVICode[5], U("1200000000000000"));
    EXPECT_EQ(cfg.UVICode[8], model::kEmptyKeyCode);
}

TEST(KeyCodeGrid, KeyFilterKeepsEnterDigitsAndUpperCaseHex) {
    const struct {
        QChar c;
        bool kept;
    } cases[] = {
        {QLatin1Char('0'), true},
        {QLatin1Char('9'), true},
        {QLatin1Char('A'), true},
        {QLatin1Char('F'), true},
        {kEnter, true},
        {QLatin1Char('a'), false},
        {QLatin1Char('f'), false},
        {QLatin1Char('G'), false},
        {QChar(8), false},
        {QLatin1Char(' '), false},
        {QLatin1Char('-'), false},
        {QChar(0x0410), false},
        {QLatin1Char('\n'), false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keyCodeCharKept(c.c), c.kept) << c.c.unicode();
}

TEST(KeyCodeGrid, EveryTypedCharacterMarksThePageAndEnterNormalises) {
    const struct {
        QChar c;
        PageMark before;
        PageMark after;
        bool kept;
    } cases[] = {
        {QLatin1Char('a'), PageMark::Synced, PageMark::Edited, false},
        {QLatin1Char('A'), PageMark::Synced, PageMark::Edited, true},
        {QLatin1Char('a'), PageMark::None, PageMark::None, false},
        {kEnter, PageMark::Edited, PageMark::Edited, true},
    };
    for (const auto& c : cases) {
        PanelConfig cfg;
        cfg.UVICode[0] = U("ABC");
        EditorState state;
        state.setAllMarks(PageMark::Synced);
        state.setMark(Page::Keys, c.before);
        RecordingUi ui;
        EXPECT_EQ(onKeyCodesKeyPress(cfg, state, c.c, ui), c.kept) << c.c.unicode();
        EXPECT_EQ(state.mark(Page::Keys), c.after) << c.c.unicode();
        EXPECT_EQ(state.mark(Page::Users), PageMark::Synced);
        EXPECT_EQ(cfg.UVICode[0], c.c == kEnter ? U("ABC0000000000000") : U("ABC")) << c.c.unicode();
    }
}

TEST(KeyCodeGrid, SelectingARowNormalisesAndChoosesTheReaderUser) {
    PanelConfig cfg;
    cfg.UVICode[1] = U("0000000000000F");
    EditorState state;
    RecordingUi ui;
    onKeyCodesCellSelected(cfg, state, 7, ui);
    EXPECT_EQ(state.readerUser, 7);
    EXPECT_EQ(cfg.UVICode[1], model::kEmptyKeyCode);
    EXPECT_EQ(ui.texts(), T({text::badCode}));
}

TEST(UsersGrid, EditStartTextIsTheUndoOfABadGroup) {
    PanelConfig cfg;
    EditorState state;
    cfg.users[2].group = U("3");
    onUsersEditStart(state, cfg.users[2].group);
    cfg.users[2].group = U("9"); // typed
    state.setMark(Page::Users, PageMark::Synced);
    onUsersKeyPress(cfg, state, QLatin1Char('9'));
    EXPECT_EQ(cfg.users[2].group, U("9")) << "only Enter normalises";
    EXPECT_EQ(state.mark(Page::Users), PageMark::Edited);
    onUsersKeyPress(cfg, state, kEnter);
    EXPECT_EQ(cfg.users[2].group, U("3"));

    PanelConfig untouched;
    EditorState none;
    untouched.users[0].password = U("5");
    onUsersKeyPress(untouched, none, kEnter);
    EXPECT_EQ(untouched.users[0].password, U("5000"));
    EXPECT_EQ(none.mark(Page::Users), PageMark::None);
}
