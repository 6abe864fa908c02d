#include "tools/LineEditDialog.h"

#include "core/LineCommands.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

LineEditDialog::LineEditDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Editar Linha "),
            .groupCaption = QStringLiteral(" Informações da Linha "),
            .helpPage = QStringLiteral("EditLinha.htm"),
            .withRange = false},
        parent)
{
    setObjectName(QStringLiteral("Form11"));
    auto* caption = new QLabel(QStringLiteral("Linha a ser Editada ="), this);
    lineField_ = new QLineEdit(this);
    lineField_->setObjectName(QStringLiteral("Edit1"));
    lineField_->setMaxLength(std::numeric_limits<int>::max());
    lineField_->setMinimumWidth(360);
    lineField_->setAccessibleName(QStringLiteral("Linha a ser Editada"));
    caption->setBuddy(lineField_);
    fields()->addWidget(caption, 0, 0);
    fields()->addWidget(lineField_, 0, 1);
    connect(applyButton(), &QPushButton::clicked, this, &LineEditDialog::apply);
    setFieldOrder({lineField_});
}

void LineEditDialog::showEvent(QShowEvent* event)
{
    ToolDialog::showEvent(event);
    showCaretLine();
}

void LineEditDialog::showCaretLine()
{
    const torvel::ProgramText& text = session().document().text;
    const long long row = torvel::clampRow(text, session().caretRow());
    lineField_->setText(session().toDisplay(text.line(row - 1)));
    lineField_->selectAll();
    lineField_->setFocus();
}

void LineEditDialog::apply()
{
    runner().edit(torvel::LineCommand::Edit, session().caretRow(), programBytes(lineField_->text()));
    accept();
}
