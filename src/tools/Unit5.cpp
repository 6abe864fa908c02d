#include "tools/Unit5.h"

#include "core/CommentTool.h"

#include <QComboBox>
#include <QPushButton>

TForm5::TForm5(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Comentar Linha"),
            .groupCaption = QStringLiteral(" Dados para Comentário  "),
            .helpPage = QStringLiteral("ComLinha.htm")},
        parent)
{
    setObjectName(QStringLiteral("Form5"));
    Textloc = addTextCombo(0, QStringLiteral("Textloc"), QStringLiteral("Comentar linha com a palavra ="));
    Textini = addTextCombo(1, QStringLiteral("Textini"), QStringLiteral("Caracter de Comentário Inicial ="),
        {QStringLiteral("("), QStringLiteral("{"), QStringLiteral("[")});
    Textfim = addTextCombo(2, QStringLiteral("Textfim"), QStringLiteral("Caracter de Comentário Final ="),
        {QStringLiteral(")"), QStringLiteral("}"), QStringLiteral("]")});
    connect(applyButton(), &QPushButton::clicked, this, &TForm5::btnOKClick);
    setFieldOrder({Textloc, Textini, Textfim});
}

void TForm5::btnOKClick()
{
    torvel::CommentTool tool(torvel::CommentOptions {programBytes(Textloc->currentText()),
        programBytes(Textini->currentText()), programBytes(Textfim->currentText())});
    runTool(tool);
}
