#pragma once

#include "framework/ToolDialog.h"

class QCheckBox;
class QLabel;
class QSpinBox;

// "Editar Números dos Blocos": the number of digits and a fresh sequence, each behind its check box.
class TForm3 : public ToolDialog {
    Q_OBJECT
public:
    TForm3(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void CheckBox1Click();
    void CheckBox3Click();
    void btnOKClick();

    QCheckBox* CheckBox1;
    QSpinBox* SpinEdit3;
    QCheckBox* CheckBox3;
    QLabel* Label2;
    QSpinBox* SpinEdit4;
    QLabel* Label3;
    QSpinBox* SpinEdit5;
};
