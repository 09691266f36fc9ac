// A save that fails for any reason leaves the previous file whole: full disk,
// a folder in the file's place, a read-only folder, a process killed mid-save.

#include "core/EventLog.h"
#include "core/TextFiles.h"
#include "support/TestSupport.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace ovlix;
using namespace ovlix::test;

namespace {

const QByteArray kOldContent = "lastip, 10.0.0.5\r\nlastmac, 00-03-75-aa-bb-cc\r\n";

// Runs `work` in a child process as the unprivileged user "nobody" and gives
// its exit status: root ignores file permissions, so those cases need another user.
int runAsNobody(const std::function<int()>& work)
{
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

} // namespace

TEST(FileSafety, AFullDiskLeavesThePreviousFileWhole)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    FilesFolder folder;
    const QString mountPoint = folder.path(QStringLiteral("small"));
    QDir().mkdir(mountPoint);
    if (mount("tmpfs", mountPoint.toLocal8Bit().constData(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    const QString file = mountPoint + QStringLiteral("/netset");
    {
        QFile old(file);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(kOldContent);
    }

    const SaveResult result = saveFileAtomically(file, QByteArray(1024 * 1024, 'x'));
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    QFile check(file);
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), kOldContent);
    EXPECT_EQ(QDir(mountPoint).entryList(QDir::Files | QDir::Hidden).size(), 1);
    check.close();
    umount(mountPoint.toLocal8Bit().constData());
}

TEST(FileSafety, AFolderInTheFilesPlaceIsLeftAsItIs)
{
    FilesFolder folder;
    const QString labels = folder.path(QStringLiteral("labels"));
    QDir().mkdir(labels);
    const SaveResult result = saveFileAtomically(labels, "Porch,A,1\r\n");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_TRUE(QFileInfo(labels).isDir());
}

TEST(FileSafety, AReadOnlyFolderAndLogRefuseQuietlyForAnOrdinaryUser)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "switching to an unprivileged user needs root";
    QTemporaryDir base;
    const QString dir = base.filePath(QStringLiteral("program"));
    QDir().mkdir(dir);
    const QString netset = dir + QStringLiteral("/netset");
    const QString logFile = dir + QStringLiteral("/OvlixSetup.log");
    for (const QString& path : {netset, logFile}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kOldContent);
    }
    QFile::setPermissions(base.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                           QFileDevice::ExeOwner | QFileDevice::ExeOther);
    QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                   QFileDevice::ReadOther | QFileDevice::ExeOther);
    QFile::setPermissions(logFile, QFileDevice::ReadOwner | QFileDevice::ReadOther);

    const int status = runAsNobody([&] {
        if (saveFileAtomically(netset, "lastip, 1.2.3.4\r\n").ok)
            return 1;
        EventLog(logFile).WriteLog(QStringLiteral("dropped"));
        return 0;
    });
    EXPECT_EQ(status, 0);
    for (const QString& path : {netset, logFile}) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), kOldContent) << path.toStdString();
    }
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

TEST(FileSafety, AProcessKilledWhileSavingLeavesOneWholeVersion)
{
    FilesFolder folder;
    const QString file = folder.path(QStringLiteral("labels"));
    const QByteArray first(512 * 1024, 'a');
    const QByteArray second(512 * 1024, 'b');
    ASSERT_TRUE(saveFileAtomically(file, first).ok);
    for (int round = 0; round < 20; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            for (;;) {
                saveFileAtomically(file, second);
                saveFileAtomically(file, first);
            }
        }
        usleep(static_cast<useconds_t>(2000 + round * 1500));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        QFile check(file);
        ASSERT_TRUE(check.open(QIODevice::ReadOnly));
        const QByteArray content = check.readAll();
        EXPECT_TRUE(content == first || content == second) << "round " << round;
    }
}
