#include "labels/LabelsFile.h"
#include "support/LabelsExample.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace ovlix;
using namespace ovlix::test;

TEST(LabelsFile, SavesTheDocumentedLinesAndReadsThemBackUnchanged)
{
    FilesFolder folder;
    const QString path = folder.path("labels");
    folder.write("labels", QByteArray(500, 'x')); // a longer file is replaced whole
    EXPECT_TRUE(saveLabelsFile(folder.log(), path, workedExample()).ok);
    EXPECT_EQ(folder.read("labels"), kWorkedExampleFile);
    LabelSet full;
    for (int i = 0; i < kLabelSlots; ++i)
        full[i] = {i == 0 ? "Sixteen chars ok" : QString("K\u00fcche %1  ").arg(i),
                   QString(QChar(u'A' + 2 * i)), QString::number(2 * i + 1)};
    EXPECT_TRUE(saveLabelsFile(folder.log(), path, full).ok);
    LabelSet slots = clearedLabelSet();
    EXPECT_EQ(readLabelsFile(folder.log(), path, slots), "");
    EXPECT_EQ(slots, full);
    EXPECT_TRUE(folder.logMessages().isEmpty());
    QFile::remove(path);
    QDir().mkdir(path);
    const SaveResult failed = saveLabelsFile(folder.log(), path, full);
    EXPECT_EQ(folder.logMessages(),
              QStringList{"ERROR::frmDeviceLabels.SaveLabels: " + failed.error});
    EXPECT_FALSE(failed.error.isEmpty());
}

TEST(LabelsFile, ReadsWhatItCanAndLogsTheLastFieldProblemAndTheLineCount)
{
    const QByteArray example = kWorkedExampleFile, rest = example.mid(11);
    const LabelSlot earlier{"earlier", "C", "5"};
    const struct {
        QByteArray file;
        LabelSlot first, fourth;
        QStringList problems;
    } cases[] = {
        {QByteArray(example).replace("\r\n", "\n"), {"Porch", "A", "1"}, {"", "A", "1"}, {}},
        {QByteArray(example).replace("\r\n", "\r"), {"Porch", "A", "1"}, {"", "A", "1"}, {}},
        {"Lamp,Bx,+5\r\n" + rest + "\r\n\r\n", {"Lamp", "Bx", "+5"}, {"", "A", "1"}, {}},
        {"  Lamp , Q,\t16\r\n" + rest, {"Lamp ", "Q", "16"}, {"", "A", "1"}, {}},
        {"Hall, lamp,B,16\r\n" + rest, {"Hall", "lamp", "B"}, {"", "A", "1"}, {}},
        {"Lamp,,\r\n" + rest, {"Lamp", "", ""}, {"", "A", "1"}, {}},
        {"Lamp,B\r\n" + rest,
         {"Lamp", "B", "5"},
         {"", "A", "1"},
         {"Line 1: the unit code is missing"}},
        {"A label of 21 chars.,B,3\r\n" + rest + "Attic,C,3\r\n",
         {"A label of 21 ch", "B", "3"},
         {"", "A", "1"},
         {"Line 1: the label is longer than 16 characters", "The lines after line 8 are ignored"}},
        {"Fifteen chars: \xF0\x9F\x92\xA1,B,3\r\nPorch\r\n" + rest.mid(12),
         {"Fifteen chars: ", "B", "3"},
         {"", "A", "1"},
         {"Line 2: the house and unit codes are missing"}},
        {"Porch,A,1\r\nGarage,A\r\nHall lamp,B,16",
         {"Porch", "A", "1"},
         earlier,
         {"Line 2: the unit code is missing", "The file has only 3 of 8 lines"}},
        {"", earlier, earlier, {"The file has only 0 of 8 lines"}},
        {QByteArray(3 * 1024 * 1024, 'x'),
         {QString(16, u'x'), "C", "5"},
         earlier,
         {"Line 1: the house and unit codes are missing",
          "Only the first 1048576 bytes of the file are read"}},
    };
    for (const auto& c : cases) {
        FilesFolder folder;
        folder.write("labels", c.file);
        LabelSet slots;
        slots.fill(earlier);
        EXPECT_EQ(readLabelsFile(folder.log(), folder.path("labels"), slots), "");
        EXPECT_EQ(slots[0], c.first) << c.file.left(40).data();
        EXPECT_EQ(slots[3], c.fourth) << c.file.left(40).data();
        QStringList expected;
        for (const QString& problem : c.problems)
            expected.append("ERROR::frmDeviceLabels.ReadLabels: " + problem);
        EXPECT_EQ(folder.logMessages(), expected) << c.file.left(40).data();
    }
    FilesFolder folder;
    LabelSet slots = workedExample();
    EXPECT_EQ(readLabelsFile(folder.log(), folder.path("labels"), slots),
              "No such file or directory");
    EXPECT_EQ(slots, workedExample());
    EXPECT_EQ(folder.logMessages(),
              QStringList{"ERROR::frmDeviceLabels.ReadLabels: No such file or directory"});
}
