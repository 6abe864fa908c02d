#include "framework/VerificationDock.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

VerificationDock::VerificationDock(QWidget* parent)
    : QDockWidget(QStringLiteral("Verificação"), parent)
{
    setObjectName(QStringLiteral("VerificationDock"));
    setAccessibleName(QStringLiteral("Verificação"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable | QDockWidget::DockWidgetClosable);
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(4, 4, 4, 4);
    summary_ = new QLabel(panel);
    summary_->setObjectName(QStringLiteral("VerificationSummary"));
    list_ = new QListWidget(panel);
    list_->setObjectName(QStringLiteral("VerificationList"));
    list_->setAccessibleName(QStringLiteral("Avisos da verificação"));
    list_->setUniformItemSizes(true);
    summary_->setBuddy(list_);
    column->addWidget(summary_);
    column->addWidget(list_, 1);
    setWidget(panel);
    connect(list_, &QListWidget::itemActivated, this,
        [this](QListWidgetItem* item) { emit lineChosen(item->data(Qt::UserRole).toLongLong()); });
}

QString VerificationDock::countText(size_t count)
{
    const QString n = count == 0 ? QStringLiteral("nenhum aviso")
        : count == 1             ? QStringLiteral("1 aviso")
                                 : QStringLiteral("%1 avisos").arg(count);
    return QStringLiteral("Trajetória conferida: ") + n;
}

QString VerificationDock::discardedText() { return QStringLiteral("Conferência descartada: o programa mudou"); }

QString VerificationDock::summary() const { return summary_->text(); }

void VerificationDock::showChecking()
{
    list_->clear();
    summary_->setText(QStringLiteral("Conferindo a trajetória..."));
    showsCheck_ = true;
}

void VerificationDock::showFindings(const std::vector<torvel::Finding>& findings)
{
    list_->setUpdatesEnabled(false);
    list_->clear();
    for (const torvel::Finding& f : findings) {
        const long long row = static_cast<long long>(f.line) + 1;
        auto* item = new QListWidgetItem(QStringLiteral("Linha %1: %2").arg(row).arg(QString::fromUtf8(f.text())));
        item->setData(Qt::UserRole, row);
        list_->addItem(item);
    }
    list_->setUpdatesEnabled(true);
    summary_->setText(countText(findings.size()));
    showsCheck_ = true;
}

void VerificationDock::showFailure()
{
    list_->clear();
    summary_->setText(QStringLiteral("Trajetória não conferida: memória insuficiente"));
    showsCheck_ = true;
}

void VerificationDock::showDiscarded()
{
    list_->clear();
    summary_->setText(discardedText());
    showsCheck_ = false;
}
