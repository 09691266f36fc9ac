#include "CodePageValidator.h"

#include "core/TextFiles.h"

namespace ovlix {

CodePageValidator::CodePageValidator(QObject* parent)
    : CodePageValidator(QRegularExpression(QStringLiteral("(?s).*")), parent)
{
}

CodePageValidator::CodePageValidator(const QRegularExpression& pattern, QObject* parent)
    : QRegularExpressionValidator(pattern, parent)
{
}

QValidator::State CodePageValidator::validate(QString& input, int& pos) const
{
    if (!fitsCodePage(input))
        return Invalid;
    return QRegularExpressionValidator::validate(input, pos);
}

} // namespace ovlix
