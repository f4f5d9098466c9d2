// What the configuration files do on hostile ground: a full disk, special files, huge files, other
// users of the machine, and records that would not read back as they are.
#include "model/ConfigFile.h"
#include "model/ConfigJson.h"
#include "model/FileAccess.h"
#include "model/FrameCodec.h"
#include "model/SaveCheck.h"
#include "support/FullDisk.h"
#include "support/Printers.h"
#include "support/RandomConfig.h"
#include "support/RecordingUi.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

using namespace zorel8z;
using namespace zorel8z::model;
using controller::TController;

namespace {

const TController ctl;
QString U(const char* s) {
    return QString::fromUtf8(s);
}
const QString kCannotSave = U("Не вдалося зберегти файл\r\n");
const QString kCannotOpen = U("Не вдалося відкрити файл\r\n");

PanelConfig sample(unsigned seed = 7) {
    return test::RandomConfig(seed).next();
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(bytes), bytes.size());
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_mode & 07777;
}

// The two file forms, through the functions every front end uses.
struct Form {
    const char* name;
    const char* suffix;
    std::function<bool(const QString&, const PanelConfig&, Ui&)> save;
    std::function<bool(const QString&, PanelConfig&, Ui&)> open;
};
const Form kForms[] = {
    {".c8z", "c8z",
     [](const QString& p, const PanelConfig& c, Ui& ui) { return saveConfigFile(ctl, p, c, ui); },
     [](const QString& p, PanelConfig& c, Ui& ui) { return openConfigFile(ctl, p, c, ui); }},
    {".json", "json",
     [](const QString& p, const PanelConfig& c, Ui& ui) { return saveConfigJsonFile(p, c, ui); },
     [](const QString& p, PanelConfig& c, Ui& ui) { return openConfigJsonFile(p, c, ui); }},
};

} // namespace

TEST(FileSafety, AFullDiskFailsTheSaveAndKeepsTheOldFile) {
    test::FullDisk disk;
    QString why;
    if (!disk.mount(why))
        GTEST_SKIP() << "no small file system to fill on this machine: " << why.toStdString();
    for (const Form& form : kForms) {
        const QString path = disk.filePath(QStringLiteral("conf.") + QLatin1String(form.suffix));
        test::RecordingUi ui;
        ASSERT_TRUE(form.save(path, sample(1), ui))
            << form.name << ui.texts().join(QLatin1Char('|')).toStdString();
        const QByteArray old = readAll(path);
        ASSERT_FALSE(old.isEmpty());
    }
    ASSERT_TRUE(disk.fill());
    for (const Form& form : kForms) {
        const QString path = disk.filePath(QStringLiteral("conf.") + QLatin1String(form.suffix));
        const QByteArray old = readAll(path);
        test::RecordingUi ui;
        EXPECT_FALSE(form.save(path, sample(2), ui)) << form.name;
        EXPECT_EQ(ui.texts(), QStringList{kCannotSave + qt_error_string(ENOSPC)}) << form.name;
        EXPECT_EQ(readAll(path), old) << form.name;
        PanelConfig back;
        EXPECT_TRUE(form.open(path, back, ui)) << form.name;
        EXPECT_TRUE(back.sameSettings(sample(1))) << form.name;

        // A new file on the full disk is not left behind half written.
        const QString fresh = disk.filePath(QStringLiteral("new.") + QLatin1String(form.suffix));
        EXPECT_FALSE(form.save(fresh, sample(2), ui)) << form.name;
        EXPECT_FALSE(QFile::exists(fresh)) << form.name;
    }
    // Nothing but the two old files and the filler: no temporary file stays.
    EXPECT_EQ(
        QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
        (QStringList{QStringLiteral("conf.c8z"), QStringLiteral("conf.json"), QStringLiteral("filler")}));
}

TEST(FileSafety, NewFilesAreTheOwnersOnlyAndOldOnesKeepTheirMode) {
    const mode_t mask = ::umask(022);
    QTemporaryDir dir;
    for (const Form& form : kForms) {
        const QString fresh = dir.filePath(QStringLiteral("new.") + QLatin1String(form.suffix));
        test::RecordingUi ui;
        ASSERT_TRUE(form.save(fresh, sample(), ui)) << form.name;
        EXPECT_EQ(modeOf(fresh), mode_t(0600)) << form.name;

        // An existing file was shared on purpose: saving over it keeps that.
        const QString shared = dir.filePath(QStringLiteral("shared.") + QLatin1String(form.suffix));
        writeAll(shared, "old");
        ASSERT_EQ(::chmod(QFile::encodeName(shared).constData(), 0640), 0);
        ASSERT_TRUE(form.save(shared, sample(), ui)) << form.name;
        EXPECT_EQ(modeOf(shared), mode_t(0640)) << form.name;
    }
    ::umask(mask);
}

TEST(FileSafety, SpecialAndHugeFilesAreRefusedUnread) {
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big"));
    writeAll(big, QByteArray(files::kMaxFileBytes + 1, ' '));
    const struct {
        const char* name;
        QString path;
        QString reason;
    } cases[] = {
        {"endless device", QStringLiteral("/dev/zero"), U("Це не звичайний файл (канал, пристрій чи тека)")},
        {"empty device", QStringLiteral("/dev/null"), U("Це не звичайний файл (канал, пристрій чи тека)")},
        {"folder", dir.path(), U("Це не звичайний файл (канал, пристрій чи тека)")},
        {"above a megabyte", big, U("Файл більший за 1 МБ (1048577 байт)")},
    };
    for (const Form& form : kForms) {
        for (const auto& c : cases) {
            PanelConfig cfg = sample();
            const PanelConfig before = cfg;
            test::RecordingUi ui;
            EXPECT_FALSE(form.open(c.path, cfg, ui)) << form.name << " " << c.name;
            EXPECT_EQ(ui.texts(), QStringList{kCannotOpen + c.reason}) << form.name << " " << c.name;
            EXPECT_EQ(cfg, before) << form.name << " " << c.name;
        }
    }
}

TEST(FileSafety, AMegabyteIsStillReadAndJudgedByItsContent) {
    QTemporaryDir dir;
    // A saved configuration padded to exactly the limit: only the first line counts.
    const QString c8z = dir.filePath(QStringLiteral("padded.c8z"));
    QByteArray content = configFileContent(ctl, sample()) + '\n';
    content += QByteArray(files::kMaxFileBytes - content.size(), 'x');
    writeAll(c8z, content);
    PanelConfig cfg;
    test::RecordingUi ui;
    EXPECT_TRUE(openConfigFile(ctl, c8z, cfg, ui)) << ui.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(cfg.sameSettings(sample()));
}

TEST(FileSafety, SavingOverASpecialFileIsRefused) {
    for (const Form& form : kForms) {
        test::RecordingUi ui;
        EXPECT_FALSE(form.save(QStringLiteral("/dev/null"), sample(), ui)) << form.name;
        EXPECT_EQ(ui.texts(), QStringList{kCannotSave + U("Це не звичайний файл (канал, пристрій чи тека)")})
            << form.name;
    }
}

// What cannot be written so that it reads back the same is refused before anything is written, in the
// words of the check that the window's save runs first where there is one.
TEST(FileSafety, RecordsThatWouldNotReadBackAreNotWritten) {
    const struct {
        const char* name;
        std::function<void(PanelConfig&)> change;
        QString c8z;  // refusal of the .c8z form; empty: written and read back the same
        QString json; // the same for the JSON form
    } cases[] = {
        {"Cyrillic APN", [](PanelConfig& c) { c.apn = U("інтернет"); }, U("Недопустимий символ в APN!"),
         U("Недопустимий символ в APN!")},
        {"escaped quote in APN2", [](PanelConfig& c) { c.apn2 = U("ab\\\"c"); },
         U("Недопустимий символ в APN!"), U("Недопустимий символ в APN!")},
        {"control character in APN", [](PanelConfig& c) { c.apn = U("a\tb"); },
         U("Недопустимий символ в APN!"), U("Недопустимий символ в APN!")},
        {"Latin-1 letter in APN", [](PanelConfig& c) { c.apn = U("café"); }, U("Недопустимий символ в APN!"),
         U("Недопустимий символ в APN!")},
        {"letter in the administrator password", [](PanelConfig& c) { c.PwdLev1 = U("1234a"); }, QString(),
         kCannotSave + U("Невірне значення \"PwdLev1\": дозволені лише цифри")},
        {"panel type of two digits", [](PanelConfig& c) { c.ppkType = 12; }, QString(),
         kCannotSave + U("Невірне значення \"ppkType\": очікується ціле число від 0 до 9")},
        {"short key code", [](PanelConfig& c) { c.UVICode[3] = U("ABC"); }, U("Невірний формат коду!"),
         QString()},
        {"short user password", [](PanelConfig& c) { c.users[5].password = U("12"); },
         U("Ввведіть паролі довжиною 4 символи для кожного користувача!"), QString()},
        {"hidden password without its value",
         [](PanelConfig& c) {
             c.passwordsHidden = true;
             for (size_t k = 0; k < c.users.size(); ++k) {
                 c.users[k].password = kHiddenPassword;
                 c.hiddenPasswords[k] = QString::number(2000 + k);
             }
             c.hiddenPasswords[9].clear();
         },
         U("Ввведіть паролі довжиною 4 символи для кожного користувача!"), QString()},
        {"non-Latin-1 remote password", [](PanelConfig& c) { c.pwd = U("12345ї"); },
         kCannotSave + U("Значення \"pwd\" не прочиталося б з файлу таким, як є"),
         kCannotSave + U("Невірне значення \"pwd\": дозволені лише цифри і пробіли")},
        {"block 1 beyond its width", [](PanelConfig& c) { c.apn = QString(60, QLatin1Char('a')); },
         kCannotSave + U("Файл не прочитався б як конфігурація"),
         kCannotSave + U("Невірне значення \"apn\": текст довший за 30 символів")},
        {"hidden passwords",
         [](PanelConfig& c) {
             c.passwordsHidden = true;
             for (size_t k = 0; k < c.users.size(); ++k) {
                 c.users[k].password = kHiddenPassword;
                 c.hiddenPasswords[k] = QString::number(3000 + k);
             }
         },
         QString(), QString()},
        {"short remote password", [](PanelConfig& c) { c.pwd = U("123"); }, QString(), QString()},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        PanelConfig cfg = sample(11);
        c.change(cfg);
        for (const Form& form : kForms) {
            const QString expected = QLatin1String(form.suffix) == QLatin1String("c8z") ? c.c8z : c.json;
            const QString path =
                dir.filePath(QString::fromUtf8(c.name) + QLatin1Char('.') + QLatin1String(form.suffix));
            test::RecordingUi ui;
            const bool saved = form.save(path, cfg, ui);
            if (!expected.isEmpty()) {
                EXPECT_FALSE(saved) << form.name << " " << c.name;
                EXPECT_EQ(ui.texts(), QStringList{expected}) << form.name << " " << c.name;
                EXPECT_FALSE(QFile::exists(path)) << form.name << " " << c.name;
                continue;
            }
            ASSERT_TRUE(saved) << form.name << " " << c.name
                               << ui.texts().join(QLatin1Char('|')).toStdString();
            PanelConfig back;
            back.passwordsHidden = cfg.passwordsHidden && QLatin1String(form.suffix) == QLatin1String("c8z");
            ASSERT_TRUE(form.open(path, back, ui)) << form.name << " " << c.name;
            if (QLatin1String(form.suffix) == QLatin1String("json")) {
                PanelConfig expectedBack = cfg;
                expectedBack.pwd = cfg.pwd.leftJustified(6, QLatin1Char(' '));
                EXPECT_EQ(back, expectedBack) << form.name << " " << c.name;
            } else {
                // Opened with the passwords hidden, as the window holding them would.
                EXPECT_TRUE(back.sameSettings(cfg)) << form.name << " " << c.name;
            }
        }
    }
}

TEST(FileSafety, RandomRecordsReadBackAsWritten) {
    QTemporaryDir dir;
    test::RandomConfig random(2024);
    for (int n = 0; n < 60; ++n) {
        const PanelConfig cfg = random.next();
        for (const Form& form : kForms) {
            const QString path = dir.filePath(QStringLiteral("r.") + QLatin1String(form.suffix));
            test::RecordingUi ui;
            ASSERT_TRUE(form.save(path, cfg, ui)) << form.name << " " << n;
            PanelConfig back;
            ASSERT_TRUE(form.open(path, back, ui)) << form.name << " " << n;
            EXPECT_TRUE(back.sameSettings(cfg)) << form.name << " " << n;
        }
    }
}
