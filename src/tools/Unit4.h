#pragma once

#include "framework/ToolDialog.h"

class QComboBox;

// "Substituir Palavras".
class TForm4 : public ToolDialog {
    Q_OBJECT
public:
    TForm4(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void btnOKClick();

    QComboBox* Textloc;
    QComboBox* Textsub;
};
