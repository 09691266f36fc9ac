#include "labels/LabelsFile.h"
#include "support/LabelsExample.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace ovlix;
using namespace ovlix::test;

TEST(LabelsFile, SavesTheDocumentedLinesAndReadsThemBackUnchanged)
{
    FilesFolder folder;
    folder.write("labels", QByteArray(500, 'x')); // a longer file is replaced whole
    LabelSet full;
    for (int i = 0; i < kLabelSlots; ++i)
        full[i] = {i == 0 ? "Sixteen chars ok" : QString("K\u00fcche %1  ").arg(i),
                   QString(QChar(u'A' + 2 * i)), QString::number(2 * i + 1)};
    EXPECT_TRUE(saveLabelsFile(folder.log(), folder.path("labels"), full).ok);
    LabelSet slots = clearedLabelSet();
    EXPECT_EQ(readLabelsFile(folder.log(), folder.path("labels"), slots), "");
    EXPECT_EQ(slots, full);
    EXPECT_TRUE(folder.logMessages().isEmpty());
}

TEST(LabelsFile, ReadsWhatItCanAndLogsTheLastFieldProblemAndTheLineCount)
{
    const QByteArray example = kWorkedExampleFile, rest = example.mid(11);
    const QString tooLong = "Line 1: the label is longer than 16 characters";
    const QString unit = "Line %1: the unit code is missing",
                  codes = "the house and unit codes are missing";
    // The files' code page decides whether four bytes are one character, cut
    // whole, or four (Windows' one-byte code pages).
    const QString emoji = QString::fromLocal8Bit("\xF0\x9F\x92\xA1");
    const QString cutAt16 =
        emoji.size() == 2 ? "Fifteen chars: " : "Fifteen chars: " + emoji.left(1);
    // The file, its first and fourth rows as the slots hold them, and the problems logged.
    const std::tuple<QByteArray, QString, QStringList> cases[] = {
        {QByteArray(example).replace("\r\n", "\n"), "Porch,A,1 ,A,1", {}},
        {QByteArray(example).replace("\r\n", "\r"), "Porch,A,1 ,A,1", {}},
        {"Lamp,Bx,+5\r\n" + rest + "\r\n\r\n", "Lamp,Bx,+5 ,A,1", {}},
        {"  Lamp , Q \t,\t16 \r\n" + rest, "Lamp ,Q,16 ,A,1", {}},
        {"Hall, lamp,B,16\r\n" + rest, "Hall,lamp,B ,A,1", {}},
        {"Lamp,,\r\n" + rest, "Lamp,, ,A,1", {}},
        {"Lamp,B\r\n" + rest, "Lamp,B,5 ,A,1", {unit.arg(1)}},
        {"Label of 20 chars.,B,3\r\n" + rest + "Attic\r\n", "Label of 20 char,B,3 ,A,1",
         QStringList{tooLong, "The lines after line 8 are ignored"}},
        {"Fifteen chars: \xF0\x9F\x92\xA1,B,3\r\nPorch\r\n" + rest.mid(12), cutAt16 + ",B,3 ,A,1",
         QStringList{"Line 2: " + codes}},
        {"Porch,A,1\r\nGarage,A\r\nHall lamp,B,16", "Porch,A,1 earlier,C,5",
         QStringList{unit.arg(2), "The file has only 3 of 8 lines"}},
        {"", "earlier,C,5 earlier,C,5", {"The file has only 0 of 8 lines"}},
        {QByteArray(3 * 1024 * 1024, 'x'), QString(16, u'x') + ",C,5 earlier,C,5",
         QStringList{"Line 1: " + codes, "Only the first 1048576 bytes of the file are read"}},
    };
    const auto row = [](const LabelSlot& slot) {
        return slot.text + ',' + slot.house + ',' + slot.unit;
    };
    for (const auto& [file, firstAndFourth, problems] : cases) {
        FilesFolder folder;
        folder.write("labels", file);
        LabelSet slots;
        slots.fill({"earlier", "C", "5"});
        EXPECT_EQ(readLabelsFile(folder.log(), folder.path("labels"), slots), "");
        EXPECT_EQ(row(slots[0]) + " " + row(slots[3]), firstAndFourth) << file.left(40).data();
        QStringList expected;
        for (const QString& problem : problems)
            expected.append("ERROR::frmDeviceLabels.ReadLabels: " + problem);
        EXPECT_EQ(folder.logMessages(), expected) << file.left(40).data();
    }
}
