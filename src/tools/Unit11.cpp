#include "tools/Unit11.h"

#include "core/LineCommands.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

TForm11::TForm11(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Editar Linha "),
            .groupCaption = QStringLiteral(" Informações da Linha "),
            .helpPage = QStringLiteral("EditLinha.htm"),
            .withRange = false},
        parent)
{
    setObjectName(QStringLiteral("Form11"));
    auto* caption = new QLabel(QStringLiteral("Linha a ser Editada ="), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(std::numeric_limits<int>::max());
    Edit1->setMinimumWidth(360);
    Edit1->setAccessibleName(QStringLiteral("Linha a ser Editada"));
    caption->setBuddy(Edit1);
    fields()->addWidget(caption, 0, 0);
    fields()->addWidget(Edit1, 0, 1);
    connect(applyButton(), &QPushButton::clicked, this, &TForm11::btnOKClick);
    setFieldOrder({Edit1});
}

void TForm11::showEvent(QShowEvent* event)
{
    ToolDialog::showEvent(event);
    FormShow();
}

void TForm11::FormShow()
{
    const torvel::ProgramText& text = session().document().text;
    const long long row = torvel::clampRow(text, session().caretRow());
    Edit1->setText(session().toDisplay(text.line(row - 1)));
    Edit1->selectAll();
    Edit1->setFocus();
}

void TForm11::btnOKClick()
{
    const std::string typed = programBytes(Edit1->text());
    const long long row = session().caretRow();
    runner().edit(torvel::kEditLineTag, [&](torvel::ProgramText& text) { return torvel::editLine(text, row, typed); });
    accept();
}
