#pragma once

#include <QRegularExpressionValidator>

namespace ovlix {

// What a box accepts: text that matches its pattern and that the system's code
// page holds whole. A character the code page cannot hold is refused as it is
// typed, rather than reach the files or the device as "?" or a look-alike.
class CodePageValidator : public QRegularExpressionValidator {
public:
    explicit CodePageValidator(QObject* parent);
    CodePageValidator(const QRegularExpression& pattern, QObject* parent);

    State validate(QString& input, int& pos) const override;
};

} // namespace ovlix
