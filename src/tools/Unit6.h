#pragma once

#include "framework/ToolDialog.h"

class QCheckBox;
class QLineEdit;

// "Translação dos Eixos XYZ": a value added to the X, Y and Z numbers of each ticked axis.
class TForm6 : public ToolDialog {
    Q_OBJECT
public:
    TForm6(Session& session, ToolRunner& runner, QWidget* parent);

    bool plusFlag() const { return plus_; }

private:
    void axisClick(QCheckBox* box, QLineEdit* field);
    void CheckBox4Click();
    void Button1Click();
    void btnOKClick();

    QCheckBox* CheckBox1;
    QLineEdit* Edit1;
    QCheckBox* CheckBox2;
    QLineEdit* Edit2;
    QCheckBox* CheckBox3;
    QLineEdit* Edit3;
    QCheckBox* CheckBox4;
    QPushButton* btnOK;
    // Follows the "+" box at every click, so the box never shows an option that is off.
    bool plus_ = false;
};
