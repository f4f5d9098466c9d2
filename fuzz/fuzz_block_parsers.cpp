// Block parsers and unpacking on arbitrary frames and block texts.
#include "FuzzSupport.h"
#include "common/Errors.h"
#include "model/FrameCodec.h"

using namespace zorel8z;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const controller::TController ctl;
    fuzz::SilentUi ui;
    const QString text = fuzz::bytesToText(data, size);
    const QString utf8 = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (auto type : {model::ConnectionType::USB, model::ConnectionType::Internet}) {
        for (const QString& input : {text, utf8}) {
            model::PanelConfig cfg;
            try { model::decodeNetworkBlock(ctl, type, input, cfg); } catch (const Error&) {}
            try { model::decodeUsersBlock(ctl, type, input, cfg); } catch (const Error&) {}
            try { model::decodeZonesBlock(ctl, type, input, cfg); } catch (const Error&) {}
            try { model::decodeParamsBlock(ctl, type, input, cfg, ui); } catch (const Error&) {}
            try { model::decodeKeyCodesBlock(ctl, type, input, cfg); } catch (const Error&) {}
        }
    }
    return 0;
}
