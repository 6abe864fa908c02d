#include "framework/GoToDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

GoToDialog::GoToDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("GoToDialog"));
    setWindowTitle(QStringLiteral("Ir para"));
    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("GoToLabel"));
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("GoToTarget"));
    field_->setAccessibleName(QStringLiteral("Linha ou bloco"));
    hint_->setBuddy(field_);
    error_ = new QLabel(this);
    error_->setObjectName(QStringLiteral("GoToError"));
    error_->setAccessibleName(QStringLiteral("Aviso"));
    error_->setStyleSheet(QStringLiteral("color: #b00000"));
    error_->hide();
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("GoToOk"));
    ok->setDefault(true);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("GoToCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &GoToDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &GoToDialog::reject);
    connect(field_, &QLineEdit::textEdited, error_, &QWidget::hide);

    auto* box = new QVBoxLayout(this);
    box->addWidget(hint_);
    box->addWidget(field_);
    box->addWidget(error_);
    box->addWidget(buttons);
}

std::optional<long long> GoToDialog::ask(long long lines, const Resolver& resolve)
{
    resolve_ = resolve;
    chosen_ = -1;
    const QString count = QLocale(QLocale::Portuguese, QLocale::Brazil).toString(lines);
    hint_->setText(QStringLiteral("&Linha (1 a %1) ou bloco (N1230):").arg(count));
    error_->hide();
    field_->selectAll();
    field_->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return chosen_;
}

void GoToDialog::accept()
{
    const torvel::GoToResult result = resolve_ ? resolve_(field_->text()) : torvel::GoToResult {};
    if (!result.found()) {
        error_->setText(QString::fromUtf8(result.error));
        error_->show();
        field_->selectAll();
        field_->setFocus();
        return;
    }
    chosen_ = result.line;
    QDialog::accept();
}
