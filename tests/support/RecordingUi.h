#pragma once

#include "common/Ui.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace zorel8z::test {

// Records every message in order so tests can assert the exact texts.
class RecordingUi : public Ui {
public:
    void showMessage(MsgIcon icon, const QString& text) override { messages.emplace_back(icon, text); }

    QStringList texts() const {
        QStringList out;
        for (const auto& m : messages)
            out << m.second;
        return out;
    }

    std::vector<std::pair<MsgIcon, QString>> messages;
};

} // namespace zorel8z::test
