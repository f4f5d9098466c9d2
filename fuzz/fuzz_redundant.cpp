// The two readers of the redundant-server block.
#include "FuzzSupport.h"
#include "common/Errors.h"
#include "controller/TController.h"
#include "model/Packing.h"

using namespace zorel8z;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const controller::TController ctl;
    const QString text = fuzz::bytesToText(data, size);
    QString ip, port;
    model::PanelConfig cfg;
    try {
        if (ctl.FindRedundantIP(text, ip, port))
            model::unpackRedundant(cfg, ip, port);
    } catch (const Error&) {
    }
    try { ctl.ParseRedundantIP(text, ip, port); } catch (const Error&) {}
    try {
        if (ctl.ReadRedundantIP(text, ip, port) == 0)
            model::unpackRedundant(cfg, ip, port);
    } catch (const Error&) {
    }
    return 0;
}
