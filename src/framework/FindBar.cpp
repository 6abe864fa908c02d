#include "framework/FindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

namespace {

// Counting a long program for every key typed would lag; the count waits for a pause.
constexpr int kTypingPauseMs = 250;

QToolButton* barButton(QWidget* parent, const char* name, const QString& text, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

FindBar::FindBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FindBar"));
    setAccessibleName(QStringLiteral("Barra de localizar"));
    auto* label = new QLabel(QStringLiteral("&Localizar:"), this);
    label->setObjectName(QStringLiteral("FindLabel"));
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("FindText"));
    field_->setAccessibleName(QStringLiteral("Texto a localizar"));
    field_->setClearButtonEnabled(true);
    label->setBuddy(field_);
    matchCase_ = new QCheckBox(QStringLiteral("Diferenciar &maiúsculas"), this);
    matchCase_->setObjectName(QStringLiteral("FindMatchCase"));
    wholeWord_ = new QCheckBox(QStringLiteral("&Palavra inteira"), this);
    wholeWord_->setObjectName(QStringLiteral("FindWholeWord"));
    previous_ = barButton(
        this, "FindPrevious", QStringLiteral("▲ Anterior"), QStringLiteral("Localizar anterior (Shift+F3)"));
    next_ = barButton(this, "FindNext", QStringLiteral("▼ Próxima"), QStringLiteral("Localizar próxima (F3)"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("FindStatus"));
    status_->setAccessibleName(QStringLiteral("Resultado da busca"));
    status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(QStringLiteral("0000000 de 0000000")));
    close_ = barButton(this, "FindClose", QStringLiteral("✕"), QStringLiteral("Fechar a barra de localizar (Esc)"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 6, 3);
    row->addWidget(label);
    row->addWidget(field_, 1);
    row->addWidget(previous_);
    row->addWidget(next_);
    row->addWidget(matchCase_);
    row->addWidget(wholeWord_);
    row->addWidget(status_);
    row->addWidget(close_);

    typing_ = new QTimer(this);
    typing_->setSingleShot(true);
    typing_->setInterval(kTypingPauseMs);
    connect(typing_, &QTimer::timeout, this, &FindBar::searchChanged);
    connect(field_, &QLineEdit::textChanged, typing_, qOverload<>(&QTimer::start));
    for (QCheckBox* box : {matchCase_, wholeWord_})
        connect(box, &QCheckBox::toggled, this, &FindBar::searchChanged);
    connect(previous_, &QToolButton::clicked, this, &FindBar::previousRequested);
    connect(next_, &QToolButton::clicked, this, &FindBar::nextRequested);
    connect(close_, &QToolButton::clicked, this, &FindBar::close);
    field_->installEventFilter(this);
    hide();
}

QString FindBar::text() const { return field_->text(); }

torvel::SearchOptions FindBar::options() const { return {matchCase_->isChecked(), wholeWord_->isChecked()}; }

void FindBar::open(const QString& preset)
{
    if (!preset.isEmpty())
        field_->setText(preset);
    show();
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FindBar::setStatus(const QString& status) { status_->setText(status); }

QString FindBar::status() const { return status_->text(); }

void FindBar::close()
{
    typing_->stop();
    hide();
    emit closed();
}

bool FindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == field_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // A pending count must not lag behind the match Enter finds.
            if (typing_->isActive()) {
                typing_->stop();
                emit searchChanged();
            }
            if (key->modifiers().testFlag(Qt::ShiftModifier))
                emit previousRequested();
            else
                emit nextRequested();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
