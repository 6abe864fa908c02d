#pragma once

#include "framework/ToolDialog.h"

class QRadioButton;

// "Adicionar ou Remover Espaços".
class SpacesDialog : public ToolDialog {
    Q_OBJECT
public:
    SpacesDialog(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void apply();

    QRadioButton* removeOption_;
    QRadioButton* addOption_;
};
