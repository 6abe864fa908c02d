#include "tools/SpacesDialog.h"

#include "core/SpacesTool.h"

#include <QGridLayout>
#include <QPushButton>
#include <QRadioButton>

SpacesDialog::SpacesDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Adicionar ou Remover Espaços"),
            .groupCaption = QStringLiteral(" Dados para Operação "),
            .helpPage = QStringLiteral("AddRem.htm"),
            .cancelName = QStringLiteral("Button1")},
        parent)
{
    setObjectName(QStringLiteral("Form2"));
    removeOption_ = new QRadioButton(QStringLiteral("Remover Espaços"), this);
    removeOption_->setObjectName(QStringLiteral("RadioButton1"));
    removeOption_->setChecked(true);
    addOption_ = new QRadioButton(QStringLiteral("Adcionar Espaços"), this);
    addOption_->setObjectName(QStringLiteral("RadioButton2"));
    fields()->addWidget(removeOption_, 0, 0);
    fields()->addWidget(addOption_, 1, 0);

    connect(applyButton(), &QPushButton::clicked, this, &SpacesDialog::apply);
    makeOptionGroup({removeOption_, addOption_});
    setFieldOrder({removeOption_, addOption_});
}

void SpacesDialog::apply()
{
    torvel::SpacesTool tool(torvel::SpacesOptions {addOption_->isChecked()});
    runTool(tool);
}
