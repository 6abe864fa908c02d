#include "tools/Unit2.h"

#include "core/SpacesTool.h"

#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

TForm2::TForm2(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Adicionar ou Remover Espaços"),
            .groupCaption = QStringLiteral(" Dados para Operação "),
            .helpPage = QStringLiteral("AddRem.htm"),
            .cancelName = QStringLiteral("Button1")},
        parent)
{
    setObjectName(QStringLiteral("Form2"));
    RadioButton1 = new QRadioButton(QStringLiteral("Remover Espaços"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("Adcionar Espaços"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    fields()->addWidget(RadioButton1, 0, 0);
    fields()->addWidget(RadioButton2, 1, 0);

    connect(applyButton(), &QPushButton::clicked, this, &TForm2::btnOKClick);
    makeOptionGroup({RadioButton1, RadioButton2});
    setFieldOrder({RadioButton1, RadioButton2});
}

void TForm2::btnOKClick()
{
    torvel::SpacesTool tool(torvel::SpacesOptions {RadioButton2->isChecked()});
    runTool(tool);
}
