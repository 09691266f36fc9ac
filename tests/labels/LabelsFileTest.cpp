#include "labels/LabelsFile.h"
#include "support/LabelsExample.h"
#include "support/TestSupport.h"

#include <csignal>
#include <gtest/gtest.h>
#include <QDir>
#include <QRegularExpression>
#include <sys/resource.h>

using namespace ovlix;
using namespace ovlix::test;

namespace {

// Slots that differ from every value a test file sets, to see what was kept.
LabelSet earlierSlots()
{
    LabelSet slots;
    slots.fill({"earlier", "C", "5"});
    return slots;
}

struct Read {
    LabelSet slots;
    QStringList log;
};

Read readFile(const QByteArray& bytes, LabelSet slots = earlierSlots())
{
    FilesFolder folder;
    folder.write("labels", bytes);
    readLabelsFile(folder.log(), folder.path("labels"), slots);
    return {slots, folder.logMessages()};
}

QString readError(const QString& description)
{
    return QStringLiteral("ERROR::frmDeviceLabels.ReadLabels: ") + description;
}

} // namespace

TEST(ParseField, SplitsOffTheFirstFieldAsDocumented)
{
    struct Case {
        QString text, field, remainder;
    };
    const Case cases[] = {
        {"Porch,A,1", "Porch", "A,1"},
        {"  Hall lamp ,B,16", "Hall lamp ", "B,16"},
        {",A,1", "", "A,1"},
        {"16", "16", ""},
        {"x,", "x", ""},
        {"", "", ""},
        {" \t\r\n", "", ""},
        {"A, 1", "A", " 1"},
    };
    for (const Case& c : cases) {
        QString field = "stale";
        QString remainder = "stale";
        ParseField(c.text, u',', field, remainder);
        EXPECT_EQ(field, c.field) << c.text.toStdString();
        EXPECT_EQ(remainder, c.remainder) << c.text.toStdString();
    }
    // The reader splits a remainder into itself.
    QString field;
    QString text = "B,16";
    ParseField(text, u',', field, text);
    EXPECT_EQ(field, "B");
    EXPECT_EQ(text, "16");
}

TEST(LabelsFile, SavesTheDocumentedLinesAndReadsThemBackUnchanged)
{
    FilesFolder folder;
    const QString path = folder.path("labels");
    folder.write("labels", QByteArray(500, 'x')); // a longer file is replaced whole
    EXPECT_TRUE(saveLabelsFile(folder.log(), path, workedExample()).ok);
    EXPECT_EQ(folder.read("labels"), kWorkedExampleFile);

    LabelSet slots = earlierSlots();
    readLabelsFile(folder.log(), path, slots);
    EXPECT_EQ(slots, workedExample());

    // Every code of the lists, trailing blanks, a full-length label and
    // letters beyond ASCII survive the round trip byte for byte.
    LabelSet full;
    for (int i = 0; i < kLabelSlots; ++i)
        full[i] = {i == 0 ? "Sixteen chars ok" : QString("K\u00fcche %1  ").arg(i),
                   QString(QChar(u'A' + 2 * i)), QString::number(2 * i + 1)};
    full[7].house = "P";
    full[7].unit = "16";
    EXPECT_TRUE(saveLabelsFile(folder.log(), path, full).ok);
    const QByteArray written = folder.read("labels");
    slots = clearedLabelSet();
    readLabelsFile(folder.log(), path, slots);
    EXPECT_EQ(slots, full);
    EXPECT_TRUE(saveLabelsFile(folder.log(), path, slots).ok);
    EXPECT_EQ(folder.read("labels"), written);
    EXPECT_TRUE(folder.logMessages().isEmpty());
}

TEST(LabelsFile, ReadsLinesEndedByCrLfLfOrCr)
{
    for (const QByteArray lineEnd : {"\r\n", "\n", "\r"}) {
        const Read read = readFile(QByteArray(kWorkedExampleFile).replace("\r\n", lineEnd));
        EXPECT_EQ(read.slots, workedExample()) << lineEnd.toHex().toStdString();
        EXPECT_TRUE(read.log.isEmpty());
    }
}

TEST(LabelsFile, CodesStandAsWrittenAndAMissingFieldKeepsItsValue)
{
    struct Case {
        QByteArray line;
        LabelSlot slot;
        QString problem; // empty: none
    };
    const Case cases[] = {
        // Typed codes come back as they were saved.
        {"Lamp,Bx,+5", {"Lamp", "Bx", "+5"}, ""},
        {"Lamp,b,05 ", {"Lamp", "b", "05 "}, ""},
        {"Lamp,,", {"Lamp", "", ""}, ""},
        // Blanks in front of a field are dropped; a fourth field is ignored.
        {"  Lamp , Q,\t16", {"Lamp ", "Q", "16"}, ""},
        {"Hall, lamp,B,16", {"Hall", "lamp", "B"}, ""},
        {"Lamp,B", {"Lamp", "B", "5"}, "Line 1: the unit code is missing"},
        {"Lamp", {"Lamp", "C", "5"}, "Line 1: the house and unit codes are missing"},
        {"A label of 21 chars.,B,3",
         {"A label of 21 ch", "B", "3"},
         "Line 1: the label is longer than 16 characters"},
        {"Fifteen chars: \xF0\x9F\x92\xA1,B,3",
         {"Fifteen chars: ", "B", "3"},
         "Line 1: the label is longer than 16 characters"},
    };
    for (const Case& c : cases) {
        const Read read = readFile(c.line + "\r\n" + QByteArray(kWorkedExampleFile).mid(11));
        EXPECT_EQ(read.slots[0], c.slot) << c.line.toStdString();
        EXPECT_EQ(read.slots[1], workedExample()[1]);
        EXPECT_EQ(read.log, c.problem.isEmpty() ? QStringList() : QStringList{readError(c.problem)})
            << c.line.toStdString();
    }
}

TEST(LabelsFile, AnOddFileLoadsWhatItCanAndTellsTheLastFieldAndTheLines)
{
    // Short: the slots without a line keep what they showed.
    Read read = readFile("Porch,A,1\r\nGarage,A\r\nHall lamp,B,16");
    EXPECT_EQ(read.slots[2], workedExample()[2]);
    EXPECT_EQ(read.slots[3], earlierSlots()[3]);
    EXPECT_EQ(read.log, (QStringList{readError("Line 2: the unit code is missing"),
                                     readError("The file has only 3 of 8 lines")}));
    EXPECT_EQ(readFile("").log, QStringList{readError("The file has only 0 of 8 lines")});

    // Long: lines after the eighth are not read; blank ones are not worth a word.
    read = readFile(kWorkedExampleFile + "Attic,C,3\r\n,A,1\r\n");
    EXPECT_EQ(read.slots, workedExample());
    EXPECT_EQ(read.log, QStringList{readError("The lines after line 8 are ignored")});
    EXPECT_TRUE(readFile(kWorkedExampleFile + "\r\n\r\n").log.isEmpty());
    read = readFile("Porch\r\n" + QByteArray(kWorkedExampleFile).mid(11) + "Attic,C,3\r\n");
    EXPECT_EQ(read.log, (QStringList{readError("Line 1: the house and unit codes are missing"),
                                     readError("The lines after line 8 are ignored")}));

    // Binary and far too large files: whatever comes of them, error lines.
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 131 + 7) % 256));
    read = readFile(binary);
    EXPECT_EQ(read.log.filter(QRegularExpression("^ERROR::frmDeviceLabels.ReadLabels: ")).size(),
              read.log.size());
    EXPECT_FALSE(read.log.isEmpty());

    read = readFile(QByteArray(3 * 1024 * 1024, 'x'));
    EXPECT_EQ(read.slots[0].text, QString(16, u'x'));
    EXPECT_EQ(read.log,
              (QStringList{readError("Line 1: the house and unit codes are missing"),
                           readError("Only the first 1048576 bytes of the file are read")}));

    // No file: nothing changes.
    FilesFolder folder;
    LabelSet slots = earlierSlots();
    readLabelsFile(folder.log(), folder.path("labels"), slots);
    EXPECT_EQ(slots, earlierSlots());
    EXPECT_EQ(folder.logMessages(), QStringList{readError("No such file or directory")});
}

TEST(LabelsFile, AFailedSaveIsLoggedAndLeavesThePreviousFileWhole)
{
    FilesFolder folder;
    const QString path = folder.path("labels");
    folder.write("labels", kWorkedExampleFile);

    // A write that the system cuts short (here: a file size limit, as a full
    // disk would) must not replace the file.
    rlimit before{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
    rlimit tight = before;
    tight.rlim_cur = 150;
    void (*oldHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tight), 0);
    LabelSet longer = workedExample();
    for (LabelSlot& slot : longer)
        slot.text = "Sixteen chars ok";
    const SaveResult result = saveLabelsFile(folder.log(), path, longer);
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(result.ok);
    EXPECT_EQ(folder.read("labels"), kWorkedExampleFile);
    EXPECT_EQ(folder.logMessages(),
              QStringList{QStringLiteral("ERROR::frmDeviceLabels.SaveLabels: ") + result.error});
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(QDir(folder.path("")).entryList(QDir::Files, QDir::Name),
              (QStringList{"OvlixSetup.log", "labels"}));
}
