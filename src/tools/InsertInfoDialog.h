#pragma once

#include "framework/ToolDialog.h"

class QComboBox;
class QRadioButton;

// "Inserir Informações": a text at the end of the lines that hold a search text, or a block before or after them.
class InsertInfoDialog : public ToolDialog {
    Q_OBJECT
public:
    InsertInfoDialog(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void apply();

    QComboBox* findField_;
    QComboBox* textField_;
    QRadioButton* atEndOption_;
    QRadioButton* beforeOption_;
    QRadioButton* afterOption_;
};
