#include "remote/RemoteMode.h"

namespace zorel8z::remote {

using model::PageMark;
using rules::EditorState;
using rules::Mode;
using rules::Page;

namespace {

// The four pages whose blocks travel through the station; the key-code page never does.
constexpr Page kServerPages[] = {Page::Network, Page::Users, Page::Zones, Page::Params};

void forgetServerPages(EditorState& state) {
    for (Page page : kServerPages)
        state.setMark(page, PageMark::None);
}

} // namespace

QString pageCaption(Page page) {
    switch (page) {
    case Page::Network:
        return QStringLiteral("Налаштування зв'язку");
    case Page::Users:
        return QStringLiteral("Користувачі");
    case Page::Zones:
        return QStringLiteral("Шлейфи");
    case Page::Params:
        return QStringLiteral("Параметри ППК");
    case Page::Keys:
        return QStringLiteral("Налаштування QKL");
    }
    return QString();
}

ButtonCaptions buttonCaptions(EditorState& state) {
    if (state.mode == Mode::Local)
        return {QStringLiteral(" Зчитати конфігурацію по USB"),
                QStringLiteral(" Записати конфігурацію по USB")};
    state.changePPKNumVisible = true;
    const QString what = QLatin1Char('"') + pageCaption(state.openPage) + QStringLiteral("\" по Internet");
    return {QStringLiteral(" Зчитати ") + what, QStringLiteral(" Записати ") + what};
}

void switchToRemote(model::PanelConfig& cfg, EditorState& state) {
    // The identity values come only from a USB read; the station never sends them.
    cfg.serialNumber.clear();
    cfg.firmwareVersion.clear();
    state.mode = Mode::Remote;
    buttonCaptions(state);
    state.changePPKNumVisible = true;
    // The key codes cannot be read or written through the station, so their page is not offered.
    if (state.openPage == Page::Keys)
        state.openPage = Page::Params;
    forgetServerPages(state);
}

void switchToLocal(EditorState& state) {
    state.mode = Mode::Local;
    state.changePPKNumVisible = false;
    state.setAllMarks(PageMark::None);
}

void onNumPPKChanged(model::PanelConfig& cfg, EditorState& state, int value) {
    state.seNumPPK = value;
    // The configuration's own number follows, within what its field can hold.
    cfg.numPPK = model::ranges::numPPK.clamp(value);
    // Another panel is addressed now: nothing shown is known to be in step with it.
    forgetServerPages(state);
}

QString renumberWarning(EditorState& state) {
    state.changePPKNumVisible = false;
    return msg::kRenumberPrefix + QString::number(state.seNumPPK) + msg::kRenumberSuffix;
}

} // namespace zorel8z::remote

// The texts declared in RemoteMode.h: defined once here, not in every file that includes it.
namespace zorel8z::remote::msg {

const QString kLocalCaption = QStringLiteral("Локальне конфігурування");
const QString kRemoteCaption = QStringLiteral("Віддалене конфігурування");
const QString kNumConfLocal = QStringLiteral("№ ППК в ПЦС:");
const QString kNumConfRemote = QStringLiteral("Новий № ППК в ПЦС:");
const QString kRenumberPrefix =
    QStringLiteral("Увага! При зміні номера буде припинено обслуговування об'єкта №");
const QString kRenumberSuffix = QStringLiteral(" на ПЦС! ");

} // namespace zorel8z::remote::msg
