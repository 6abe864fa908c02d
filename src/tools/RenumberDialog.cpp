#include "tools/RenumberDialog.h"

#include "core/RenumberTool.h"
#include "framework/CaptionColour.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

RenumberDialog::RenumberDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Editar Números dos Blocos"),
            .groupCaption = QStringLiteral(" Dados para Operação "),
            .helpPage = QStringLiteral("EditNum.htm"),
            .rangeCaptions
            = {.wholeFile = QStringLiteral("Aplicar em Todo Arquivo"), .untilLabelName = QStringLiteral("LabelAte")},
            .cancelName = QStringLiteral("Button1")},
        parent)
{
    // stepLabel_ is the increment's label here, so the range's "até" is LabelAte.
    setObjectName(QStringLiteral("Form3"));
    digitsBox_ = new QCheckBox(QStringLiteral("Número de Dígitos ="), this);
    digitsBox_->setObjectName(QStringLiteral("CheckBox1"));
    digitsField_ = new NumberField(QStringLiteral("SpinEdit3"), 1, RangeGroup::kHighest, 1, this);
    digitsField_->setAccessibleName(QStringLiteral("Número de Dígitos"));

    renumberBox_ = new QCheckBox(QStringLiteral("Renumerar"), this);
    renumberBox_->setObjectName(QStringLiteral("CheckBox3"));
    startLabel_ = new QLabel(QStringLiteral("Número do Bloco Inicial ="), this);
    startLabel_->setObjectName(QStringLiteral("Label2"));
    startField_ = new NumberField(QStringLiteral("SpinEdit4"), 0, RangeGroup::kHighest, 0, this);
    startLabel_->setBuddy(startField_);
    startField_->setAccessibleName(QStringLiteral("Número do Bloco Inicial"));
    stepLabel_ = new QLabel(QStringLiteral("Valor do Incremento      ="), this);
    stepLabel_->setObjectName(QStringLiteral("Label3"));
    stepField_ = new NumberField(QStringLiteral("SpinEdit5"), 1, RangeGroup::kHighest, 1, this);
    stepLabel_->setBuddy(stepField_);
    stepField_->setAccessibleName(QStringLiteral("Valor do Incremento"));

    fields()->addWidget(digitsBox_, 0, 0);
    fields()->addWidget(digitsField_, 0, 1);
    fields()->addWidget(renumberBox_, 1, 0);
    fields()->addWidget(startLabel_, 2, 0);
    fields()->addWidget(startField_, 2, 1);
    fields()->addWidget(stepLabel_, 3, 0);
    fields()->addWidget(stepField_, 3, 1);

    connect(digitsBox_, &QCheckBox::toggled, this, &RenumberDialog::digitsToggled);
    connect(renumberBox_, &QCheckBox::toggled, this, &RenumberDialog::renumberToggled);
    connect(applyButton(), &QPushButton::clicked, this, &RenumberDialog::apply);
    setFieldOrder({digitsBox_, digitsField_, renumberBox_, startField_, stepField_});
    digitsToggled();
    renumberToggled();
}

void RenumberDialog::digitsToggled()
{
    const bool on = digitsBox_->isChecked();
    paintCaption(digitsBox_, on);
    if (!on)
        digitsField_->setValue(1);
    digitsField_->setEnabled(on);
}

void RenumberDialog::renumberToggled()
{
    const bool on = renumberBox_->isChecked();
    for (QWidget* caption :
        {static_cast<QWidget*>(renumberBox_), static_cast<QWidget*>(startLabel_), static_cast<QWidget*>(stepLabel_)})
        paintCaption(caption, on);
    if (!on) {
        startField_->setValue(0);
        stepField_->setValue(1);
    }
    startField_->setEnabled(on);
    stepField_->setEnabled(on);
}

void RenumberDialog::apply()
{
    torvel::RenumberOptions options;
    options.digitsOn = digitsBox_->isChecked();
    options.width = numberValue(digitsField_);
    options.renumberOn = renumberBox_->isChecked();
    options.start = numberValue(startField_);
    options.step = numberValue(stepField_);
    torvel::RenumberTool tool(options);
    runTool(tool);
}
