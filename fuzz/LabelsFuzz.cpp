// Any labels file: the reader loads what it can, logs at most one line, and
// every slot it fills holds a label the window could show (no comma, at most
// 16 characters) with a house code from A to P and a unit code from 1 to 16.
// The field splitter is tried on the same bytes.

#include "core/EventLog.h"
#include "labels/LabelsFile.h"
#include "x10/X10Codes.h"

#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir folder;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString path = folder.filePath(QStringLiteral("labels"));
    const QString logPath = folder.filePath(QStringLiteral("OvlixSetup.log"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(bytes);
    }
    QFile::remove(logPath);

    ovlix::LabelSet slots = ovlix::clearedLabelSet();
    ovlix::readLabelsFile(ovlix::EventLog(logPath), path, slots);
    const QStringList houses = ovlix::x10HouseCodes();
    const QStringList units = ovlix::x10UnitCodes();
    for (const ovlix::LabelSlot& slot : slots) {
        if (slot.text.contains(u',') || slot.text.size() > ovlix::kMaxLabelLength ||
            !houses.contains(slot.house) || !units.contains(slot.unit))
            std::abort();
    }
    QFile log(logPath);
    if (log.open(QIODevice::ReadOnly) && log.readAll().count("\r\n") > 1)
        std::abort();

    const QString text = QString::fromLocal8Bit(bytes);
    QString field;
    QString remainder;
    ovlix::ParseField(text, u',', field, remainder);
    if (field.size() + remainder.size() > text.size())
        std::abort();
    return 0;
}
