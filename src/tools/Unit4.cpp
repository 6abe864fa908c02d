#include "tools/Unit4.h"

#include "core/WordTools.h"

#include <QComboBox>
#include <QPushButton>

TForm4::TForm4(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Substituir Palavras"),
            .groupCaption = QStringLiteral(" Dados para Substituição"),
            .helpPage = QStringLiteral("SubPal.htm")},
        parent)
{
    setObjectName(QStringLiteral("Form4"));
    Textloc = addTextCombo(0, QStringLiteral("Textloc"), QStringLiteral("Localizar ="));
    Textsub = addTextCombo(1, QStringLiteral("Textsub"), QStringLiteral("Substituir por ="));
    connect(applyButton(), &QPushButton::clicked, this, &TForm4::btnOKClick);
    setFieldOrder({Textloc, Textsub});
}

void TForm4::btnOKClick()
{
    torvel::ReplaceTool tool(
        torvel::ReplaceOptions {programBytes(Textloc->currentText()), programBytes(Textsub->currentText())});
    runTool(tool);
}
