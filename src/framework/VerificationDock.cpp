#include "framework/VerificationDock.h"

#include <QAbstractListModel>
#include <QLabel>
#include <QListView>
#include <QVBoxLayout>

// The findings as rows, their texts made as they are shown: a check may find hundreds of
// thousands, which as list items would hold the window for a quarter of a second.
class FindingList : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    void setFindings(std::vector<torvel::Finding> findings)
    {
        beginResetModel();
        findings_ = std::move(findings);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(findings_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const torvel::Finding& f = findings_[static_cast<size_t>(index.row())];
        const long long row = static_cast<long long>(f.line) + 1;
        if (role == Qt::DisplayRole)
            return QStringLiteral("Linha %1: %2").arg(row).arg(QString::fromUtf8(f.text()));
        if (role == Qt::UserRole)
            return row;
        return {};
    }

private:
    std::vector<torvel::Finding> findings_;
};

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
    list_ = new QListView(panel);
    list_->setObjectName(QStringLiteral("VerificationList"));
    list_->setAccessibleName(QStringLiteral("Avisos da verificação"));
    list_->setUniformItemSizes(true);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    findings_ = new FindingList(list_);
    list_->setModel(findings_);
    summary_->setBuddy(list_);
    column->addWidget(summary_);
    column->addWidget(list_, 1);
    setWidget(panel);
    connect(list_, &QListView::activated, this,
        [this](const QModelIndex& index) { emit lineChosen(index.data(Qt::UserRole).toLongLong()); });
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
    findings_->setFindings({});
    summary_->setText(QStringLiteral("Conferindo a trajetória..."));
    showsCheck_ = true;
}

void VerificationDock::showFindings(const std::vector<torvel::Finding>& findings)
{
    findings_->setFindings(findings);
    summary_->setText(countText(findings.size()));
    showsCheck_ = true;
}

void VerificationDock::showFailure()
{
    findings_->setFindings({});
    summary_->setText(QStringLiteral("Trajetória não conferida: memória insuficiente"));
    showsCheck_ = true;
}

void VerificationDock::showDiscarded()
{
    findings_->setFindings({});
    summary_->setText(discardedText());
    showsCheck_ = false;
}
