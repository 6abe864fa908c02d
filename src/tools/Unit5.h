#pragma once

#include "framework/ToolDialog.h"

class QComboBox;

// "Comentar Linha": encloses the lines that hold a text between an opening and a closing text.
class TForm5 : public ToolDialog {
    Q_OBJECT
public:
    TForm5(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void btnOKClick();

    QComboBox* Textloc;
    QComboBox* Textini;
    QComboBox* Textfim;
};
