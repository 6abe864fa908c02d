#pragma once

#include "framework/ToolDialog.h"

class QComboBox;

// "Comentar Linha": encloses the lines that hold a text between an opening and a closing text.
class CommentDialog : public ToolDialog {
    Q_OBJECT
public:
    CommentDialog(Session& session, ToolRunner& runner, QWidget* parent);

private:
    void apply();

    QComboBox* findField_;
    QComboBox* openingField_;
    QComboBox* closingField_;
};
