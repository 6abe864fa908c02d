#pragma once

#include "framework/ToolDialog.h"

class QCheckBox;
class QRadioButton;

// "Converter Coordenadas IJ ": arc centres between absolute and incremental form.
class TForm9 : public ToolDialog {
    Q_OBJECT
public:
    TForm9(Session& session, ToolRunner& runner, QWidget* parent);

    bool plusFlag() const { return plus_; }

private:
    void CheckBox1Click();
    void Button1Click();

    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QCheckBox* CheckBox1;
    bool plus_ = false;
};
