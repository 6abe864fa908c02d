#pragma once

#include "framework/ToolDialog.h"

class QLineEdit;

// "Editar Linha ": the caret line in a field, written back on "Aplicar".
class LineEditDialog : public ToolDialog {
    Q_OBJECT
public:
    LineEditDialog(Session& session, ToolRunner& runner, QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showCaretLine();
    void apply();

    QLineEdit* lineField_;
};
