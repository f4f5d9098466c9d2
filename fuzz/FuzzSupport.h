#pragma once

#include "common/Ui.h"

#include <QString>
#include <cstddef>
#include <cstdint>

namespace zorel8z::fuzz {

// Messages are part of normal operation; the fuzz targets only look for crashes and sanitizer reports.
class SilentUi : public Ui {
public:
    void showMessage(MsgIcon, const QString&) override {}
};

// Received bytes become characters one to one, as on the serial line.
inline QString bytesToText(const uint8_t* data, size_t size) {
    return QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
}

} // namespace zorel8z::fuzz
