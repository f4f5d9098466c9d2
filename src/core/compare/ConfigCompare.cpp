#include "compare/ConfigCompare.h"

#include "compare/Captions.h"
#include "remote/RemoteMode.h"
#include "rules/Checks.h"

#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>

namespace zorel8z::compare {

using model::PanelConfig;
using rules::Page;

namespace {

QString item(const QStringList& items, int index) {
    if (index >= 0 && index < items.size())
        return items[index];
    // A digit no list item stands for is kept as the panel sent it, and shown as such.
    return QStringLiteral("(значення %1 поза списком)").arg(index);
}

QString withUnit(const QString& value, const QString& unit) {
    return value + QLatin1Char(' ') + unit;
}

QString setValue(const model::SetInput& in) {
    QString text = in.group == 0 ? captions::kSetNone : captions::kSetGroup.arg(in.group);
    if (in.indicator)
        text += QStringLiteral(", ") + captions::kIndicator;
    return text;
}

QString cellCaption(const QString& rowHead, int row, const QString& columnHead) {
    return QStringLiteral("%1 %2: %3").arg(rowHead).arg(row).arg(columnHead);
}

void writeString(rapidjson::PrettyWriter<rapidjson::StringBuffer>& w, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    w.String(utf8.constData(), rapidjson::SizeType(utf8.size()));
}

} // namespace

std::vector<Field> fields(const PanelConfig& c, rules::Mode mode) {
    std::vector<Field> out;
    const auto add = [&out](Page page, const QString& caption, const QString& value, bool secret = false) {
        out.push_back({page, caption, value, secret});
    };

    add(Page::Network, mode == rules::Mode::Local ? remote::msg::kNumConfLocal : remote::msg::kNumConfRemote,
        QString::number(c.numPPK));
    add(Page::Network, captions::kPassword5, c.pwd, true);
    add(Page::Network, captions::kServerIP, c.serverIP);
    add(Page::Network, captions::kServerPort, QString::number(c.serverPort));
    add(Page::Network, captions::kRedServerIP, c.redIP);
    add(Page::Network, captions::kRedServerPort, QString::number(c.redPort));
    add(Page::Network, captions::kApn1, c.apn);
    add(Page::Network, captions::kApn2, c.apn2);

    for (int k = 0; k < model::kUserCount; ++k) {
        add(Page::Users, cellCaption(captions::kUserNumber, k + 1, captions::kUserGroup),
            c.users[size_t(k)].group);
        // What a write or a save sends for the user, which is the hidden password while the cell
        // shows "****".
        add(Page::Users, cellCaption(captions::kUserNumber, k + 1, captions::kUserPassword),
            rules::passwordOf(c, k, rules::PasswordSource::Packed), true);
    }

    for (int n = 0; n < model::kZoneCount; ++n) {
        const model::ZoneEntry& z = c.lines[size_t(n)];
        add(Page::Zones, cellCaption(captions::kZone, n + 1, captions::kZoneGroup),
            z.groupValid() ? QString::number(z.group) : item({}, z.group));
        add(Page::Zones, cellCaption(captions::kZone, n + 1, captions::kZoneType),
            item(captions::kZoneTypes, z.type));
        add(Page::Zones, cellCaption(captions::kZone, n + 1, captions::kZoneModifier),
            item(captions::kZoneModifiers, z.modifier));
    }

    add(Page::Params, captions::kPPKType, item(captions::kPPKTypes, c.ppkType));
    add(Page::Params, captions::kPwdLevel1, c.PwdLev1, true);
    add(Page::Params, captions::kPwdLevel2, c.PwdLev2, true);
    add(Page::Params, captions::kLowLevel, withUnit(c.LowLevelV, captions::kMillivolts));
    add(Page::Params, captions::kHiLevel, withUnit(c.HiLevelV, captions::kMillivolts));
    add(Page::Params, captions::kUKworkTime, withUnit(QString::number(c.UKworkTime), captions::kMinutes));
    add(Page::Params, captions::kUKon, withUnit(QString::number(c.UKon), captions::kSeconds));
    add(Page::Params, captions::kUKoff, withUnit(QString::number(c.UKoff), captions::kSeconds));
    add(Page::Params, captions::kUKinvert, item(captions::kUKinvertItems, c.UKinvert));
    add(Page::Params, rules::setRowCaption(1, c.Set1.indicator), setValue(c.Set1));
    add(Page::Params, rules::setRowCaption(2, c.Set2.indicator), setValue(c.Set2));
    add(Page::Params, captions::kDelay1, withUnit(QString::number(c.timeDelay), captions::kSeconds));
    add(Page::Params, captions::kDelay2, withUnit(QString::number(c.timeDelay2), captions::kSeconds));

    for (int k = 0; k < model::kUserCount; ++k)
        add(Page::Keys, cellCaption(captions::kKeyUser, k + 1, captions::kKeyCode), c.UVICode[size_t(k)],
            true);
    return out;
}

std::vector<PageDiff> compareConfigs(const PanelConfig& here, const PanelConfig& there, rules::Mode mode) {
    const std::vector<Field> a = fields(here, mode);
    const std::vector<Field> b = fields(there, mode);
    std::vector<PageDiff> out;
    // Both lists have the same fields in the same order: the record's shape is fixed.
    for (size_t k = 0; k < a.size() && k < b.size(); ++k) {
        if (a[k].value == b[k].value)
            continue;
        if (out.empty() || out.back().page != a[k].page)
            out.push_back({a[k].page, remote::pageCaption(a[k].page), {}});
        if (a[k].secret)
            out.back().rows.push_back({a[k].caption, kChanged, kChanged, true});
        else
            out.back().rows.push_back({a[k].caption, a[k].value, b[k].value, false});
    }
    return out;
}

std::vector<PageDiff> onlyPages(std::vector<PageDiff> diffs, const std::vector<Page>& pages) {
    std::vector<PageDiff> out;
    for (PageDiff& d : diffs) {
        for (Page p : pages) {
            if (d.page == p) {
                out.push_back(std::move(d));
                break;
            }
        }
    }
    return out;
}

QString diffText(const std::vector<PageDiff>& diffs) {
    const auto shown = [](const QString& value) {
        return value.trimmed().isEmpty() ? QStringLiteral("(порожньо)") : value;
    };
    QString out;
    for (const PageDiff& d : diffs) {
        out += d.caption + QLatin1Char('\n');
        for (const Row& r : d.rows) {
            out += QStringLiteral("  ") + r.caption.trimmed() + QStringLiteral("  ");
            out += r.secret ? kChanged : shown(r.here) + QStringLiteral(" → ") + shown(r.there);
            out += QLatin1Char('\n');
        }
    }
    return out;
}

QByteArray diffJson(const std::vector<PageDiff>& diffs) {
    rapidjson::StringBuffer buffer;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> w(buffer);
    w.SetIndent(' ', 2);
    w.StartArray();
    for (const PageDiff& d : diffs) {
        w.StartObject();
        w.Key("page");
        writeString(w, d.caption);
        w.Key("rows");
        w.StartArray();
        for (const Row& r : d.rows) {
            w.StartObject();
            w.Key("caption");
            writeString(w, r.caption);
            w.Key("here");
            writeString(w, r.here);
            w.Key("there");
            writeString(w, r.there);
            w.Key("secret");
            w.Bool(r.secret);
            w.EndObject();
        }
        w.EndArray();
        w.EndObject();
    }
    w.EndArray();
    return QByteArray(buffer.GetString(), qsizetype(buffer.GetSize())) + '\n';
}

QStringList changedFieldNames(const std::vector<PageDiff>& diffs) {
    QStringList out;
    for (const PageDiff& d : diffs)
        for (const Row& r : d.rows)
            out << d.caption + QStringLiteral(": ") + r.caption.trimmed();
    return out;
}

} // namespace zorel8z::compare

// The texts declared in ConfigCompare.h: defined once here, not in every file that includes it.
namespace zorel8z::compare {

const QString kChanged = QStringLiteral("змінено");

} // namespace zorel8z::compare
