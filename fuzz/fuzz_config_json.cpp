// The JSON form: whatever loads must write out and load back to the same record.
#include "FuzzSupport.h"
#include "model/ConfigJson.h"

#include <cstdlib>

using namespace zorel8z;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    model::PanelConfig cfg;
    QString error;
    if (!model::configFromJson(json, cfg, error))
        return 0;
    model::PanelConfig again;
    if (!model::configFromJson(model::configToJson(cfg), again, error) || again != cfg)
        std::abort();
    return 0;
}
