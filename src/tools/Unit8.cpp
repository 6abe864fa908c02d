#include "tools/Unit8.h"

#include "core/WordTools.h"
#include "framework/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

TForm8::TForm8(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Deletar Palavra"),
            .groupCaption = QStringLiteral(" Dados para Eliminação "),
            .helpPage = QStringLiteral("Deletar.htm"),
            .applyName = QStringLiteral("Button1"),
            .applyIsDefault = false},
        parent)
{
    setObjectName(QStringLiteral("Form8"));
    Textdel = addTextCombo(0, QStringLiteral("Textdel"), QStringLiteral("Localizar e Deletar ="));
    RadioButton2 = new QRadioButton(QStringLiteral(" Deletar somente a palavra"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton1 = new QRadioButton(QStringLiteral("Deletar linha onde ocorre a palavra"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    fields()->addWidget(RadioButton2, 1, 0, 1, 2);
    fields()->addWidget(RadioButton1, 2, 0, 1, 2);
    connect(applyButton(), &QPushButton::clicked, this, &TForm8::Button1Click);
    makeOptionGroup({RadioButton2, RadioButton1});
    setFieldOrder({Textdel, RadioButton2, RadioButton1});
}

void TForm8::Button1Click()
{
    torvel::DeleteOptions options;
    if (RadioButton2->isChecked())
        options.mode = torvel::DeleteOptions::Mode::Text;
    else if (RadioButton1->isChecked())
        options.mode = torvel::DeleteOptions::Mode::Lines;
    else {
        // A run without a mode would change nothing yet be recorded as a line deletion.
        MessageBox::error(this, QStringLiteral("Favor selecionar uma opção."));
        return;
    }
    options.find = programBytes(Textdel->currentText());
    torvel::DeleteTool tool(options);
    runTool(tool);
}
