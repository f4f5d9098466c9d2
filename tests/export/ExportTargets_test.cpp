// Export targets that are no export file: a device, a folder, a huge file. Each is refused before a
// byte is read or written (a folder, as ever, as a path that cannot be written), and a huge file stays
// as it was.
#include "common/Errors.h"
#include "export/ConfExport.h"
#include "export/IniFile.h"
#include "export/ZoneSummary.h"
#include "model/PanelConfig.h"
#include "support/Printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zorel8z;

namespace {

QString U(const char* s) {
    return QString::fromUtf8(s);
}

QString exportError(const QString& path) {
    try {
        exporting::GetConfFile(path, exporting::GetConfig(model::PanelConfig().lines));
    } catch (const Error& e) {
        return e.text();
    }
    return QString();
}

} // namespace

TEST(ExportTargets, NoRegularFileOrAHugeOneIsRefused) {
    QTemporaryDir dir;
    const QString huge = dir.filePath(QStringLiteral("huge.conf"));
    {
        QFile f(huge);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(f.resize(3 * 1024 * 1024)); // sparse: three megabytes of nothing
    }
    const struct {
        const char* name;
        QString path;
        QString error;
    } cases[] = {
        {"device", QStringLiteral("/dev/null"),
         U("Не вдалося відкрити файл\r\nЦе не звичайний файл (канал, пристрій чи тека)")},
        {"folder", dir.path(), U("Unable to write to ") + dir.path()},
        {"huge file", huge, U("Не вдалося відкрити файл\r\nФайл більший за 1 МБ (3145728 байт)")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exportError(c.path), c.error) << c.name;
    EXPECT_EQ(QFile(huge).size(), 3 * 1024 * 1024);
}

TEST(ExportTargets, AFileJustUnderTheLimitIsUpdatedInPlace) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.conf"));
    const QByteArray filler = "[OTHER]\r\nNote=" + QByteArray(1000 * 1000, 'x') + "\r\n";
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(filler);
    }
    EXPECT_EQ(exportError(path), QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray content = f.readAll();
    EXPECT_TRUE(content.startsWith(filler));
    EXPECT_TRUE(content.contains("[GRDOBJ]\r\n"));
}
