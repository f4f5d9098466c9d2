// Opening configuration files: the raw content, and the same bytes taken as a decoded frame.
#include "FuzzSupport.h"
#include "model/ConfigFile.h"

#include <cstdlib>

using namespace zorel8z;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const controller::TController ctl;
    fuzz::SilentUi ui;
    const QByteArray raw(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QByteArray& content : {raw, raw.toBase64()}) {
        model::PanelConfig cfg;
        cfg.numPPK = 4242;
        const model::PanelConfig before = cfg;
        const bool ok = model::loadConfigFileContent(ctl, content, cfg, ui);
        // All or nothing: a refused file leaves the record exactly as it was.
        if (!ok && cfg != before)
            std::abort();
    }
    return 0;
}
