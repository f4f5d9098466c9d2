#include "sheet/ConfigSheet.h"

#include "compare/Captions.h"
#include "compare/ConfigCompare.h"
#include "remote/RemoteMode.h"
#include "rules/Checks.h"

#include <QFont>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include <vector>

namespace zorel8z::sheet {

using compare::Field;
using model::PanelConfig;
using rules::Page;
namespace cap = compare::captions;

namespace {

const QString kTitle = QStringLiteral("Паспорт конфігурації ППК \"Зорел-8Z\"");
const QString kYes = QStringLiteral("так");
const QString kNo = QStringLiteral("ні");

QString esc(const QString& text) {
    return text.toHtmlEscaped();
}

QString label(const QString& caption) {
    QString t = caption.trimmed();
    if (t.endsWith(QLatin1Char(':')))
        t.chop(1);
    return esc(t.trimmed());
}

// The fields of a configuration next to the factory ones, looked up by caption.
class Fields {
public:
    explicit Fields(const PanelConfig& cfg)
        : m_here(compare::fields(cfg)), m_factory(compare::fields(PanelConfig())) {
        for (size_t k = 0; k < m_here.size(); ++k)
            m_index.insert(m_here[k].caption, k);
    }
    QString value(const QString& caption) const { return field(caption).value; }
    bool changed(const QString& caption) const {
        const size_t k = m_index.value(caption, m_here.size());
        return k < m_here.size() && k < m_factory.size() && m_here[k].value != m_factory[k].value;
    }
    const std::vector<Field>& all() const { return m_here; }
    bool changed(size_t k) const { return k < m_factory.size() && m_here[k].value != m_factory[k].value; }

private:
    Field field(const QString& caption) const {
        const size_t k = m_index.value(caption, m_here.size());
        return k < m_here.size() ? m_here[k] : Field{Page::Network, caption, QString(), false};
    }
    std::vector<Field> m_here;
    std::vector<Field> m_factory;
    QHash<QString, size_t> m_index;
};

QString cell(const QString& rowHead, int row, const QString& columnHead) {
    return QStringLiteral("%1 %2: %3").arg(rowHead).arg(row).arg(columnHead);
}

QString table(const QStringList& heads, const std::vector<QStringList>& rows) {
    QString out =
        QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\"><tr>");
    for (const QString& h : heads)
        out += QStringLiteral("<th align=\"left\">%1</th>").arg(esc(h));
    out += QStringLiteral("</tr>");
    for (const QStringList& r : rows) {
        out += QStringLiteral("<tr>");
        for (const QString& c : r)
            out += QStringLiteral("<td>%1</td>").arg(esc(c));
        out += QStringLiteral("</tr>");
    }
    return out + QStringLiteral("</table>");
}

// Two-column rows "caption | value" of the fields that are to be shown.
class Pairs {
public:
    void add(const QString& caption, const QString& value) { m_rows.push_back({caption, value}); }
    bool empty() const { return m_rows.empty(); }
    QString html() const {
        QString out = QStringLiteral("<table border=\"0\" cellspacing=\"0\" cellpadding=\"2\">");
        for (const auto& r : m_rows)
            out += QStringLiteral("<tr><td width=\"55%\">%1</td><td><b>%2</b></td></tr>")
                       .arg(label(r.first), esc(r.second));
        return out + QStringLiteral("</table>");
    }

private:
    std::vector<std::pair<QString, QString>> m_rows;
};

const QString kNothingChanged = QStringLiteral("<p><i>Без змін від заводських.</i></p>");

} // namespace

QString sheetHtml(const PanelConfig& cfg, const SheetOptions& o) {
    const Fields f(cfg);
    const auto shown = [&](const QString& caption) { return !o.changedOnly || f.changed(caption); };
    const QString numCaption = remote::msg::kNumConfLocal;

    QString html = QStringLiteral("<html><body>");
    html += QStringLiteral("<h1>%1</h1>").arg(esc(kTitle));
    html +=
        QStringLiteral("<p>Складено: %1</p>").arg(esc(o.made.toString(QStringLiteral("dd.MM.yyyy HH:mm"))));
    if (o.changedOnly)
        html += QStringLiteral("<p>Лише значення, змінені від заводських.</p>");
    if (o.withSecrets)
        html += QStringLiteral(
            "<p><b>З паролями: зберігайте цей документ так, щоб його не бачили сторонні.</b></p>");

    // Who the panel is: its number at the station and, when a read supplied them, its identity.
    Pairs identity;
    identity.add(numCaption, f.value(numCaption));
    if (!cfg.serialNumber.isEmpty())
        identity.add(cap::kSerialNum, cfg.serialNumber);
    if (!cfg.firmwareVersion.isEmpty())
        identity.add(cap::kFirmware, cfg.firmwareVersion);
    html += QStringLiteral("<h2>Конфігурація ППК</h2>") + identity.html();

    // Network page.
    html += QStringLiteral("<h2>%1</h2>").arg(esc(remote::pageCaption(Page::Network)));
    Pairs net;
    for (const QString& c :
         {cap::kServerIP, cap::kServerPort, cap::kRedServerIP, cap::kRedServerPort, cap::kApn1, cap::kApn2}) {
        if (shown(c))
            net.add(c, f.value(c));
    }
    if (o.withSecrets && shown(cap::kPassword5))
        net.add(cap::kPassword5, f.value(cap::kPassword5));
    html += net.empty() ? kNothingChanged : net.html();

    // Zones.
    html += QStringLiteral("<h2>%1</h2>").arg(esc(remote::pageCaption(Page::Zones)));
    std::vector<QStringList> zones;
    for (int n = 1; n <= model::kZoneCount; ++n) {
        const QString g = cell(cap::kZone, n, cap::kZoneGroup);
        const QString t = cell(cap::kZone, n, cap::kZoneType);
        const QString m = cell(cap::kZone, n, cap::kZoneModifier);
        if (o.changedOnly && !f.changed(g) && !f.changed(t) && !f.changed(m))
            continue;
        zones.push_back({QString::number(n), f.value(g), f.value(t), f.value(m)});
    }
    html += zones.empty() ? kNothingChanged
                          : table({cap::kZone, cap::kZoneGroup, cap::kZoneType, cap::kZoneModifier}, zones);

    // Users: group and whether active; passwords and key codes only with the secrets.
    html += QStringLiteral("<h2>%1</h2>").arg(esc(remote::pageCaption(Page::Users)));
    QStringList heads = {cap::kUserNumber, cap::kUserGroup, QStringLiteral("Активний"),
                         QStringLiteral("Ключ")};
    if (o.withSecrets)
        heads << cap::kUserPassword << cap::kKeyCode;
    std::vector<QStringList> users;
    for (int k = 1; k <= model::kUserCount; ++k) {
        const QString g = cell(cap::kUserNumber, k, cap::kUserGroup);
        const QString p = cell(cap::kUserNumber, k, cap::kUserPassword);
        const QString key = cell(cap::kKeyUser, k, cap::kKeyCode);
        if (o.changedOnly && !f.changed(g) && !f.changed(p) && !f.changed(key))
            continue;
        const QString password = rules::passwordOf(cfg, k - 1, rules::PasswordSource::Packed);
        const QString code = cfg.UVICode[size_t(k - 1)];
        QStringList row = {QString::number(k), f.value(g), password == QLatin1String("0000") ? kNo : kYes,
                           code == model::kEmptyKeyCode ? kNo : kYes};
        if (o.withSecrets)
            row << password << code;
        users.push_back(row);
    }
    html += users.empty() ? kNothingChanged : table(heads, users);

    // Parameters page.
    html += QStringLiteral("<h2>%1</h2>").arg(esc(remote::pageCaption(Page::Params)));
    Pairs params;
    for (const Field& field : f.all()) {
        if (field.page != Page::Params || (field.secret && !o.withSecrets) || !shown(field.caption))
            continue;
        params.add(field.caption, field.value);
    }
    html += params.empty() ? kNothingChanged : params.html();

    return html + QStringLiteral("</body></html>");
}

bool writeSheetPdf(const PanelConfig& cfg, const SheetOptions& options, const QString& path, QString* error) {
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    // A sheet with passwords is for its owner's eyes only.
    if (options.withSecrets)
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    {
        QPdfWriter writer(&out);
        writer.setTitle(kTitle);
        writer.setCreator(QStringLiteral("zorel8z"));
        writer.setResolution(300);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        QTextDocument doc;
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(9);
        doc.setDefaultFont(font);
        doc.setHtml(sheetHtml(cfg, options));
        doc.print(&writer);
    }
    if (!out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

} // namespace zorel8z::sheet
