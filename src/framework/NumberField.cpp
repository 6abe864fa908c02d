#include "framework/NumberField.h"

namespace {

// Optional sign, then digits only.
bool isWholeNumber(const QString& text)
{
    qsizetype i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i)
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
    return true;
}

} // namespace

NumberField::NumberField(const QString& objectName, int lowest, int highest, int value, QWidget* parent)
    : QSpinBox(parent)
{
    setObjectName(objectName);
    setRange(lowest, highest);
    setValue(value);
    setSingleStep(1);
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000000000")) + 30);
}

QValidator::State NumberField::validate(QString& input, int& pos) const
{
    const QString text = input.trimmed();
    if (text.isEmpty() || text == QLatin1String("+") || text == QLatin1String("-"))
        return QValidator::Intermediate;
    if (!isWholeNumber(text))
        return QValidator::Invalid;
    const QValidator::State own = QSpinBox::validate(input, pos);
    // Beyond a limit is still a number being typed; leaving the field settles it.
    return own == QValidator::Acceptable ? own : QValidator::Intermediate;
}

void NumberField::fixup(QString& input) const
{
    const QString text = input.trimmed();
    if (!isWholeNumber(text))
        return; // no number: the correction takes the lower limit
    bool ok = false;
    const long long n = text.toLongLong(&ok);
    const bool negative = text.startsWith(QLatin1Char('-'));
    long long clamped;
    if (!ok)
        clamped = negative ? minimum() : maximum(); // more digits than any limit
    else
        clamped = std::clamp<long long>(n, minimum(), maximum());
    input = QString::number(clamped);
}
