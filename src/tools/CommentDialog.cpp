#include "tools/CommentDialog.h"

#include "core/CommentTool.h"

#include <QComboBox>
#include <QPushButton>

CommentDialog::CommentDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Comentar Linha"),
            .groupCaption = QStringLiteral(" Dados para Comentário  "),
            .helpPage = QStringLiteral("ComLinha.htm")},
        parent)
{
    setObjectName(QStringLiteral("Form5"));
    findField_ = addTextCombo(0, QStringLiteral("Textloc"), QStringLiteral("Comentar linha com a palavra ="));
    openingField_ = addTextCombo(1, QStringLiteral("Textini"), QStringLiteral("Caracter de Comentário Inicial ="),
        {QStringLiteral("("), QStringLiteral("{"), QStringLiteral("[")});
    closingField_ = addTextCombo(2, QStringLiteral("Textfim"), QStringLiteral("Caracter de Comentário Final ="),
        {QStringLiteral(")"), QStringLiteral("}"), QStringLiteral("]")});
    connect(applyButton(), &QPushButton::clicked, this, &CommentDialog::apply);
    setFieldOrder({findField_, openingField_, closingField_});
}

void CommentDialog::apply()
{
    torvel::CommentTool tool(torvel::CommentOptions {programBytes(findField_->currentText()),
        programBytes(openingField_->currentText()), programBytes(closingField_->currentText())});
    runTool(tool);
}
