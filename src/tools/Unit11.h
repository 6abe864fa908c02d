#pragma once

#include "framework/ToolDialog.h"

class QLineEdit;

// "Editar Linha ": the caret line in a field, written back on "Aplicar".
class TForm11 : public ToolDialog {
    Q_OBJECT
public:
    TForm11(Session& session, ToolRunner& runner, QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void btnOKClick();

    QLineEdit* Edit1;
};
