#pragma once

#include "framework/ToolDialog.h"

class QRadioButton;

// "Adicionar ou Remover Espaços".
class TForm2 : public ToolDialog {
    Q_OBJECT
public:
    TForm2(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void btnOKClick();

    QRadioButton* RadioButton1;
    QRadioButton* RadioButton2;
};
