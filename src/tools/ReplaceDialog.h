#pragma once

#include "framework/ToolDialog.h"

class QComboBox;

// "Substituir Palavras".
class ReplaceDialog : public ToolDialog {
    Q_OBJECT
public:
    ReplaceDialog(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void apply();

    QComboBox* findField_;
    QComboBox* replacementField_;
};
