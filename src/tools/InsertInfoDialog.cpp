#include "tools/InsertInfoDialog.h"

#include "core/InsertTool.h"
#include "framework/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

InsertInfoDialog::InsertInfoDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Inserir Informações"),
            .groupCaption = QStringLiteral(" Informações para Inserir Dados "),
            .helpPage = QStringLiteral("InserirInfo.htm")},
        parent)
{
    setObjectName(QStringLiteral("Form10"));
    findField_ = addTextCombo(0, QStringLiteral("Textloc"), QStringLiteral(" Localizar Linha com a Palavra ="));
    textField_ = addTextCombo(1, QStringLiteral("TextIns"), QStringLiteral("Adicionar a Palavra ="));
    atEndOption_ = new QRadioButton(QStringLiteral("1 - Adicionar dados no final da Linha"), this);
    atEndOption_->setObjectName(QStringLiteral("RadioButton1"));
    beforeOption_ = new QRadioButton(QStringLiteral("2 - Adicionar dados antes da Linha"), this);
    beforeOption_->setObjectName(QStringLiteral("RadioButton2"));
    afterOption_ = new QRadioButton(QStringLiteral("3 - Adicionar dados depois da Linha"), this);
    afterOption_->setObjectName(QStringLiteral("RadioButton5"));
    fields()->addWidget(atEndOption_, 2, 0, 1, 2);
    fields()->addWidget(beforeOption_, 3, 0, 1, 2);
    fields()->addWidget(afterOption_, 4, 0, 1, 2);

    // The text to add comes first in the tab order, then the search text.
    makeOptionGroup({atEndOption_, beforeOption_, afterOption_});
    setFieldOrder({textField_, findField_, atEndOption_, beforeOption_, afterOption_});
    connect(applyButton(), &QPushButton::clicked, this, &InsertInfoDialog::apply);
}

void InsertInfoDialog::apply()
{
    int mode = 0;
    if (atEndOption_->isChecked())
        mode = 1;
    else if (beforeOption_->isChecked())
        mode = 2;
    else if (afterOption_->isChecked())
        mode = 3;
    else {
        MessageBox::error(this, QStringLiteral("Favor selecionar uma opção."));
        return;
    }
    torvel::InsertTool tool(
        torvel::InsertOptions {programBytes(findField_->currentText()), programBytes(textField_->currentText()), mode});
    runTool(tool);
}
