#pragma once

#include "framework/ToolDialog.h"

class QComboBox;
class QRadioButton;

// "Inserir Informações": a text at the end of the lines that hold a search text, or a block before or after them.
class TForm10 : public ToolDialog {
    Q_OBJECT
public:
    TForm10(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void btnOKClick();

    QComboBox* Textloc;
    QComboBox* TextIns;
    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
    QRadioButton* RadioButton5;
};
