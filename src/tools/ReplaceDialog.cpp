#include "tools/ReplaceDialog.h"

#include "core/WordTools.h"

#include <QComboBox>
#include <QPushButton>

ReplaceDialog::ReplaceDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Substituir Palavras"),
            .groupCaption = QStringLiteral(" Dados para Substituição"),
            .helpPage = QStringLiteral("SubPal.htm")},
        parent)
{
    setObjectName(QStringLiteral("Form4"));
    findField_ = addTextCombo(0, QStringLiteral("Textloc"), QStringLiteral("Localizar ="));
    replacementField_ = addTextCombo(1, QStringLiteral("Textsub"), QStringLiteral("Substituir por ="));
    connect(applyButton(), &QPushButton::clicked, this, &ReplaceDialog::apply);
    setFieldOrder({findField_, replacementField_});
}

void ReplaceDialog::apply()
{
    torvel::ReplaceTool tool(torvel::ReplaceOptions {
        programBytes(findField_->currentText()), programBytes(replacementField_->currentText())});
    runTool(tool);
}
