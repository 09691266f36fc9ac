// The built program, started as a user would start it: from a folder of its
// own, with another working directory.

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

using namespace ovlix::test;

TEST(ProgramStart, WritesTheBannerFirstAndKeepsItsFilesBesideItself)
{
    const QString built = qEnvironmentVariable("OVLIX_PROGRAM");
    ASSERT_FALSE(built.isEmpty()) << "OVLIX_PROGRAM names the program under test";
    FilesFolder folder;
    const QString program = folder.path(QStringLiteral("OvlixSetup"));
    ASSERT_TRUE(QFile::copy(built, program));
    QTemporaryDir elsewhere;

    QProcess process;
    process.setProgram(program);
    process.setWorkingDirectory(elsewhere.path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start();
    ASSERT_TRUE(process.waitForStarted());
    const bool logged =
        waitUntil([&] { return folder.read(QStringLiteral("OvlixSetup.log")).count("\r\n") >= 2; });
    process.kill();
    process.waitForFinished();
    ASSERT_TRUE(logged);

    const QStringList lines =
        QString::fromLocal8Bit(folder.read(QStringLiteral("OvlixSetup.log"))).split("\r\n");
    // The stamp runs straight into the message: no blank, no tab between them.
    const QRegularExpression banner(
        QStringLiteral("^\\S.*\\d---- Ovlix Setup 2.0.0 Started ----$"));
    EXPECT_TRUE(banner.match(lines.value(0)).hasMatch()) << lines.value(0).toStdString();
    EXPECT_TRUE(lines.value(1).endsWith(QStringLiteral("System variable lastip missing in ") +
                                        folder.path(QStringLiteral("netset"))))
        << lines.value(1).toStdString();
    EXPECT_FALSE(QFile::exists(elsewhere.filePath(QStringLiteral("OvlixSetup.log"))));
}
