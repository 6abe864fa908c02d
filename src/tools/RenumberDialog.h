#pragma once

#include "framework/ToolDialog.h"

class QCheckBox;
class QLabel;
class QSpinBox;

// "Editar Números dos Blocos": the number of digits and a fresh sequence, each behind its check box.
class RenumberDialog : public ToolDialog {
    Q_OBJECT
public:
    RenumberDialog(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void digitsToggled();
    void renumberToggled();
    void apply();

    QCheckBox* digitsBox_;
    QSpinBox* digitsField_;
    QCheckBox* renumberBox_;
    QLabel* startLabel_;
    QSpinBox* startField_;
    QLabel* stepLabel_;
    QSpinBox* stepField_;
};
