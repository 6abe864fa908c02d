#pragma once

#include "framework/ToolDialog.h"

class QComboBox;
class QRadioButton;

// "Deletar Palavra": the text alone, or the lines that hold it.
class DeleteWordDialog : public ToolDialog {
    Q_OBJECT
public:
    DeleteWordDialog(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void apply();

    QComboBox* findField_;
    QRadioButton* wordOnlyOption_;
    QRadioButton* wholeLineOption_;
};
