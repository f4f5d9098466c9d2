#pragma once

#include "model/PanelConfig.h"
#include "rules/Messages.h"

#include <QString>
#include <array>
#include <set>

namespace zorel8z::rules {

// How the configurator reaches the panel: over the USB port, or through the monitoring-station server.
enum class Mode { Local, Remote };

// The five pages in their tab order; the index is what the remote commands turn into a block number.
enum class Page { Network = 0, Users = 1, Zones = 2, Params = 3, Keys = 4 };

// Single-value fields of the network and parameters pages, named after their controls, for the
// page marks and for telling which spin edits the user has emptied.
enum class Control {
    seNumConfPPK,
    meServerIP,
    seServerPort,
    meRedServerIP,
    seRedServerPort,
    edPassword5,
    edAPNname,
    edAPNname2,
    cbPPKtype,
    mePwdLevel1,
    mePwdLevel2,
    meLowLevel,
    meHiLevel,
    seUKworkTime,
    seUKon,
    seUKoff,
    cbUKinvert,
    cbSet1,
    cbSet2,
    cbInd1,
    cbInd2,
    sePPKDelayTime,
    sePPKDelayTime2,
};

// How a user's change of a choice ended. Unchanged: the choice equals the last accepted value, so
// there was nothing to judge (a list reports a pick of its current item too).
enum class ChangeResult { Accepted, Refused, Unchanged };

// Everything the window keeps besides the record itself. Plain data: the window shows it and
// forwards the user's actions to the rules, which read and update it.
struct EditorState {
    Mode mode = Mode::Local;
    Page openPage = Page::Network;
    // Whether the USB port list has a selected entry.
    bool portSelected = false;
    // Command state: the read and write buttons, the USB port list and the write's progress bar.
    bool commandsEnabled = true;
    bool portListEnabled = true;
    bool progressVisible = false;

    std::array<model::PageMark, model::kPageCount> marks{};

    // The renumbering button of the network page (remote mode only).
    bool changePPKNumVisible = false;

    // Remote connection settings; not part of the record.
    int seNumPPK = 0;
    QString edPwd;
    QString meRemoteServerIP = QStringLiteral("127.000.000.001");
    int seRemoteServerPort = 15001;

    // The zones page as last accepted: the reference of the entry-point rule and the source of undo.
    std::array<model::ZoneEntry, model::kZoneCount> zoneSnapshot{};

    // Last accepted group (0..8) of each SET input: the source of undo of the SET rule.
    int setSaved1 = 0;
    int setSaved2 = 0;
    // Visibility of the two indicator boxes and the captions of the two SET rows.
    std::array<bool, 2> indicatorVisible{false, false};
    std::array<QString, 2> setCaption{msg::kSet1Input, msg::kSet2Input};

    // Text of the users-grid cell on which an editor last opened: where an invalid group returns to.
    QString editStartText;

    // User number (1..24) whose key the key reader fills in.
    int readerUser = 1;

    // Spin edits whose text the user has emptied: their value stays, but their text reads empty.
    std::set<Control> blankSpinEdits;

    model::PageMark mark(Page page) const { return marks[size_t(page)]; }
    void setMark(Page page, model::PageMark mark) { marks[size_t(page)] = mark; }
    void setAllMarks(model::PageMark mark) { marks.fill(mark); }
    // A page in step with the panel becomes edited; a page in any other state keeps its mark.
    void markEdited(Page page);

    int& setSaved(int input) { return input == 1 ? setSaved1 : setSaved2; }

    // The text a spin edit shows: its value, or nothing while the user has emptied it.
    QString spinText(Control control, int value) const;

    // After a read or a file has filled the pages: the zone snapshot, the saved SET groups and the
    // indicator boxes follow what the pages now show, so later undos return to these values.
    void retakeFrom(const model::PanelConfig& cfg);
};

// Caption of SET row `input` (1 or 2) for the given tick of its indicator box.
QString setRowCaption(int input, bool indicator);

// The page whose mark an edit of the control sets.
Page pageOf(Control control);

// Marks the control's page as edited (the reaction of the fields that carry no rule of their own).
void onFieldEdited(EditorState& state, Control control);

} // namespace zorel8z::rules
