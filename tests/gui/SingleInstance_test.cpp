// One copy of the program per user: the guard in-process, and the real program started as two users
// (two runtime folders), twice as one user, and again after a copy was killed.
#include "gui/GuiSupport.h"
#include "rules/RulesSupport.h"

#include "SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <memory>

using namespace zorel8z;
using test::rules::U;

TEST(SingleInstance, TheGuardIsPerUserFolder) {
    test::guiApp();
    QTemporaryDir userA;
    QTemporaryDir userB;
    const QString key = QStringLiteral("zorel8z-guard-test");
    gui::SingleInstance first(key, userA.path());
    ASSERT_TRUE(first.claim());
    int wakes = 0;
    QObject::connect(&first, &gui::SingleInstance::activationRequested, [&] { ++wakes; });
    // Another user's copy of the same program starts as if alone.
    gui::SingleInstance otherUser(key, userB.path());
    EXPECT_TRUE(otherUser.claim());
    EXPECT_TRUE(QFile::exists(userB.filePath(key + U(".lock"))));
    // The same user's second copy wakes the first and ends.
    gui::SingleInstance second(key, userA.path());
    EXPECT_FALSE(second.claim());
    EXPECT_TRUE(test::waitFor([&] { return wakes == 1; }));
    EXPECT_TRUE(first.lockPath().startsWith(userA.path()));
    EXPECT_TRUE(first.serverName().startsWith(userA.path()));
}

// A lock held where no copy answers (its number now belongs to another program, as happens after a
// restart) must not end every start without a word: the program runs.
TEST(SingleInstance, ALockWhoseHolderDoesNotAnswerDoesNotStopTheProgram) {
    test::guiApp();
    QTemporaryDir user;
    const QString key = QStringLiteral("zorel8z-guard-silent-holder");
    QLockFile held(QDir(user.path()).filePath(key + U(".lock")));
    held.setStaleLockTime(0);
    ASSERT_TRUE(held.tryLock(0));
    gui::SingleInstance guard(key, user.path());
    EXPECT_TRUE(guard.claim());
}

// The window opens its socket only once it is up. A copy started meanwhile finds the lock taken and
// nobody listening yet: it must keep knocking until the first copy listens, not take the lock over.
TEST(SingleInstance, ACopyStartedBeforeTheFirstListensStillWakesIt) {
    test::guiApp();
    QTemporaryDir user;
    const QString key = QStringLiteral("zorel8z-guard-late-listener");
    gui::SingleInstance first(key, user.path());
    ASSERT_TRUE(first.claim(gui::SingleInstance::Listen::Later));
    int wakes = 0;
    QObject::connect(&first, &gui::SingleInstance::activationRequested, [&] { ++wakes; });
    auto second = std::async(std::launch::async, [&] {
        gui::SingleInstance copy(key, user.path());
        return copy.claim();
    });
    // The second copy knocks once or twice before the first is up.
    QTest::qWait(300);
    ASSERT_TRUE(first.listen());
    EXPECT_TRUE(test::waitFor([&] { return wakes == 1; }));
    EXPECT_FALSE(second.get());
    EXPECT_TRUE(first.listen()); // once open, asking again changes nothing
}

TEST(SingleInstance, TheDefaultFolderIsTheUsersOwn) {
    test::guiApp();
    const QString folder = gui::SingleInstance::userFolder();
    ASSERT_FALSE(folder.isEmpty());
    const QFileInfo info(folder);
    EXPECT_TRUE(info.isDir());
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                    QFile::ReadOther | QFile::WriteOther | QFile::ExeOther),
              QFile::Permissions());
    EXPECT_FALSE(folder.startsWith(QDir::tempPath() + U("/zorel8z-configurator")));
}

namespace {

// The program as a user starts it, with the runtime folder of the user it runs as.
std::unique_ptr<QProcess> startProgram(const QString& runtimeFolder, const QString& configFolder) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
    process->setProcessEnvironment(env);
    process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process->start(QStringLiteral(ZOREL_CONFIGURATOR_PATH), QStringList());
    EXPECT_TRUE(process->waitForStarted());
    return process;
}

// The process number written in a lock file, 0 when there is none.
qint64 lockOwner(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readLine().trimmed().toLongLong();
}

} // namespace

TEST(SingleInstance, TheProgramKeepsOneCopyPerUserAndOutlivesAKilledCopy) {
    test::guiApp();
    QTemporaryDir userA;
    QTemporaryDir userB;
    QTemporaryDir config;
    const QString key = gui::SingleInstance::keyForExecutable(QStringLiteral(ZOREL_CONFIGURATOR_PATH));
    const QString lockA = userA.filePath(key + U(".lock"));
    const QString lockB = userB.filePath(key + U(".lock"));

    auto first = startProgram(userA.path(), config.path());
    ASSERT_TRUE(test::waitFor([&] { return lockOwner(lockA) == first->processId(); }));

    // The same user starts it again: the second copy ends at once, the first goes on.
    auto second = startProgram(userA.path(), config.path());
    ASSERT_TRUE(second->waitForFinished(test::kGuiWaitMs));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);

    // Another user of the machine starts it meanwhile.
    auto other = startProgram(userB.path(), config.path());
    ASSERT_TRUE(test::waitFor([&] { return lockOwner(lockB) == other->processId(); }));
    EXPECT_EQ(other->state(), QProcess::Running);

    // The first copy is killed and leaves its lock behind; the next start takes it over.
    ::kill(pid_t(first->processId()), SIGKILL);
    ASSERT_TRUE(first->waitForFinished(test::kGuiWaitMs));
    ASSERT_TRUE(QFile::exists(lockA));
    auto third = startProgram(userA.path(), config.path());
    EXPECT_TRUE(test::waitFor([&] { return lockOwner(lockA) == third->processId(); }));
    EXPECT_EQ(third->state(), QProcess::Running);

    for (QProcess* p : {third.get(), other.get()}) {
        p->kill();
        p->waitForFinished(test::kGuiWaitMs);
    }
}
