#include "tools/Unit3.h"

#include "core/RenumberTool.h"
#include "framework/CaptionColour.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

TForm3::TForm3(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Editar Números dos Blocos"),
            .groupCaption = QStringLiteral(" Dados para Operação "),
            .helpPage = QStringLiteral("EditNum.htm"),
            .rangeCaptions
            = {.wholeFile = QStringLiteral("Aplicar em Todo Arquivo"), .untilLabelName = QStringLiteral("LabelAte")},
            .cancelName = QStringLiteral("Button1")},
        parent)
{
    // Label3 is the increment's label here, so the range's "até" is LabelAte.
    setObjectName(QStringLiteral("Form3"));
    CheckBox1 = new QCheckBox(QStringLiteral("Número de Dígitos ="), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    SpinEdit3 = new NumberField(QStringLiteral("SpinEdit3"), 1, RangeGroup::kHighest, 1, this);
    SpinEdit3->setAccessibleName(QStringLiteral("Número de Dígitos"));

    CheckBox3 = new QCheckBox(QStringLiteral("Renumerar"), this);
    CheckBox3->setObjectName(QStringLiteral("CheckBox3"));
    Label2 = new QLabel(QStringLiteral("Número do Bloco Inicial ="), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    SpinEdit4 = new NumberField(QStringLiteral("SpinEdit4"), 0, RangeGroup::kHighest, 0, this);
    Label2->setBuddy(SpinEdit4);
    SpinEdit4->setAccessibleName(QStringLiteral("Número do Bloco Inicial"));
    Label3 = new QLabel(QStringLiteral("Valor do Incremento      ="), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    SpinEdit5 = new NumberField(QStringLiteral("SpinEdit5"), 1, RangeGroup::kHighest, 1, this);
    Label3->setBuddy(SpinEdit5);
    SpinEdit5->setAccessibleName(QStringLiteral("Valor do Incremento"));

    fields()->addWidget(CheckBox1, 0, 0);
    fields()->addWidget(SpinEdit3, 0, 1);
    fields()->addWidget(CheckBox3, 1, 0);
    fields()->addWidget(Label2, 2, 0);
    fields()->addWidget(SpinEdit4, 2, 1);
    fields()->addWidget(Label3, 3, 0);
    fields()->addWidget(SpinEdit5, 3, 1);

    connect(CheckBox1, &QCheckBox::toggled, this, &TForm3::CheckBox1Click);
    connect(CheckBox3, &QCheckBox::toggled, this, &TForm3::CheckBox3Click);
    connect(applyButton(), &QPushButton::clicked, this, &TForm3::btnOKClick);
    setFieldOrder({CheckBox1, SpinEdit3, CheckBox3, SpinEdit4, SpinEdit5});
    CheckBox1Click();
    CheckBox3Click();
}

void TForm3::CheckBox1Click()
{
    const bool on = CheckBox1->isChecked();
    paintCaption(CheckBox1, on);
    if (!on)
        SpinEdit3->setValue(1);
    SpinEdit3->setEnabled(on);
}

void TForm3::CheckBox3Click()
{
    const bool on = CheckBox3->isChecked();
    for (QWidget* caption :
        {static_cast<QWidget*>(CheckBox3), static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3)})
        paintCaption(caption, on);
    if (!on) {
        SpinEdit4->setValue(0);
        SpinEdit5->setValue(1);
    }
    SpinEdit4->setEnabled(on);
    SpinEdit5->setEnabled(on);
}

void TForm3::btnOKClick()
{
    torvel::RenumberOptions options;
    options.digitsOn = CheckBox1->isChecked();
    options.width = numberValue(SpinEdit3);
    options.renumberOn = CheckBox3->isChecked();
    options.start = numberValue(SpinEdit4);
    options.step = numberValue(SpinEdit5);
    torvel::RenumberTool tool(options);
    runTool(tool);
}
