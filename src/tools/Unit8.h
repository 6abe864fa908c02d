#pragma once

#include "framework/ToolDialog.h"

class QComboBox;
class QRadioButton;

// "Deletar Palavra": the text alone, or the lines that hold it.
class TForm8 : public ToolDialog {
    Q_OBJECT
public:
    TForm8(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void Button1Click();

    QComboBox* Textdel;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton1;
};
