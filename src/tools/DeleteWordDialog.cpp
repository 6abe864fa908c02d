#include "tools/DeleteWordDialog.h"

#include "core/WordTools.h"
#include "framework/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

DeleteWordDialog::DeleteWordDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Deletar Palavra"),
            .groupCaption = QStringLiteral(" Dados para Eliminação "),
            .helpPage = QStringLiteral("Deletar.htm"),
            .applyName = QStringLiteral("Button1"),
            .applyIsDefault = false},
        parent)
{
    setObjectName(QStringLiteral("Form8"));
    findField_ = addTextCombo(0, QStringLiteral("Textdel"), QStringLiteral("Localizar e Deletar ="));
    wordOnlyOption_ = new QRadioButton(QStringLiteral(" Deletar somente a palavra"), this);
    wordOnlyOption_->setObjectName(QStringLiteral("RadioButton2"));
    wholeLineOption_ = new QRadioButton(QStringLiteral("Deletar linha onde ocorre a palavra"), this);
    wholeLineOption_->setObjectName(QStringLiteral("RadioButton1"));
    fields()->addWidget(wordOnlyOption_, 1, 0, 1, 2);
    fields()->addWidget(wholeLineOption_, 2, 0, 1, 2);
    connect(applyButton(), &QPushButton::clicked, this, &DeleteWordDialog::apply);
    makeOptionGroup({wordOnlyOption_, wholeLineOption_});
    setFieldOrder({findField_, wordOnlyOption_, wholeLineOption_});
}

void DeleteWordDialog::apply()
{
    torvel::DeleteOptions options;
    if (wordOnlyOption_->isChecked())
        options.mode = torvel::DeleteOptions::Mode::Text;
    else if (wholeLineOption_->isChecked())
        options.mode = torvel::DeleteOptions::Mode::Lines;
    else {
        // A run without a mode would change nothing yet be recorded as a line deletion.
        MessageBox::error(this, QStringLiteral("Favor selecionar uma opção."));
        return;
    }
    options.find = programBytes(findField_->currentText());
    torvel::DeleteTool tool(options);
    runTool(tool);
}
