#pragma once

#include <array>
#include <QChar>
#include <QRegularExpression>
#include <QString>

namespace ovlix {

constexpr int kLabelSlots = 8;
constexpr int kMaxLabelLength = 16;
// Separates the fields of a labels file line; it has no escape, so a label
// text can never hold it.
constexpr QChar kLabelFieldDelimiter(u',');

// What a box of a label slot accepts: no field delimiter, no line end and no
// blank in front; exactly the texts that the labels file brings back unchanged.
QRegularExpression labelFieldPattern();

// One row of the labels window: a label text and the X10 address it names, as
// the texts shown in its boxes.
struct LabelSlot {
    QString text;
    QString house;
    QString unit;

    friend bool operator==(const LabelSlot&, const LabelSlot&) = default;
};

using LabelSet = std::array<LabelSlot, kLabelSlots>;

// Every slot with an empty text, the first house code and the first unit code.
LabelSet clearedLabelSet();

} // namespace ovlix
