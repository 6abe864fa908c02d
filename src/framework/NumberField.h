#pragma once

#include <QSpinBox>

// A whole-number field of the dialogs. The arrows step by one between the limits; a number
// typed beyond a limit is accepted while typing and brought to the nearer limit when the
// field is left; text that is no number reads as the lower limit.
class NumberField : public QSpinBox {
    Q_OBJECT
public:
    NumberField(const QString& objectName, int lowest, int highest, int value, QWidget* parent);

    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
};
