#include "tools/Unit10.h"

#include "core/InsertTool.h"
#include "framework/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

TForm10::TForm10(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Inserir Informações"),
            .groupCaption = QStringLiteral(" Informações para Inserir Dados "),
            .helpPage = QStringLiteral("InserirInfo.htm")},
        parent)
{
    setObjectName(QStringLiteral("Form10"));
    Textloc = addTextCombo(0, QStringLiteral("Textloc"), QStringLiteral(" Localizar Linha com a Palavra ="));
    TextIns = addTextCombo(1, QStringLiteral("TextIns"), QStringLiteral("Adicionar a Palavra ="));
    RadioButton1 = new QRadioButton(QStringLiteral("1 - Adicionar dados no final da Linha"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton2 = new QRadioButton(QStringLiteral("2 - Adicionar dados antes da Linha"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton5 = new QRadioButton(QStringLiteral("3 - Adicionar dados depois da Linha"), this);
    RadioButton5->setObjectName(QStringLiteral("RadioButton5"));
    fields()->addWidget(RadioButton1, 2, 0, 1, 2);
    fields()->addWidget(RadioButton2, 3, 0, 1, 2);
    fields()->addWidget(RadioButton5, 4, 0, 1, 2);

    // The text to add comes first in the tab order, then the search text.
    makeOptionGroup({RadioButton1, RadioButton2, RadioButton5});
    setFieldOrder({TextIns, Textloc, RadioButton1, RadioButton2, RadioButton5});
    connect(applyButton(), &QPushButton::clicked, this, &TForm10::btnOKClick);
}

void TForm10::btnOKClick()
{
    int mode = 0;
    if (RadioButton1->isChecked())
        mode = 1;
    else if (RadioButton2->isChecked())
        mode = 2;
    else if (RadioButton5->isChecked())
        mode = 3;
    else {
        MessageBox::error(this, QStringLiteral("Favor selecionar uma opção."));
        return;
    }
    torvel::InsertTool tool(
        torvel::InsertOptions {programBytes(Textloc->currentText()), programBytes(TextIns->currentText()), mode});
    runTool(tool);
}
