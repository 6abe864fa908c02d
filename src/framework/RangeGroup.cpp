#include "framework/RangeGroup.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>

RangeGroup::RangeGroup(const Captions& captions, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("RangeGroup"));

    wholeFileOption_ = new QRadioButton(captions.wholeFile, this);
    wholeFileOption_->setObjectName(QStringLiteral("RadioButton3"));
    wholeFileOption_->setChecked(true);

    lineOption_ = new QRadioButton(QStringLiteral("Aplicar da linha"), this);
    lineOption_->setObjectName(QStringLiteral("RadioButton4"));

    firstLine_ = new NumberField(QStringLiteral("SpinEdit1"), kLowest, kHighest, 1, this);
    firstLine_->setAccessibleName(QStringLiteral("Primeira linha"));
    until_ = new QLabel(QStringLiteral("até"), this);
    until_->setObjectName(captions.untilLabelName);
    lastLine_ = new NumberField(QStringLiteral("SpinEdit2"), kLowest, kHighest, 1, this);
    lastLine_->setAccessibleName(QStringLiteral("Última linha"));
    until_->setBuddy(lastLine_);

    auto* lines = new QHBoxLayout;
    lines->addWidget(lineOption_);
    lines->addWidget(firstLine_);
    lines->addWidget(until_);
    lines->addWidget(lastLine_);
    lines->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(wholeFileOption_);
    column->addLayout(lines);

    setTabOrder(wholeFileOption_, lineOption_);
    setTabOrder(lineOption_, firstLine_);
    setTabOrder(firstLine_, lastLine_);

    setFieldsEnabled(false);
    wholeFileOption_->installEventFilter(this);
    lineOption_->installEventFilter(this);
}

bool RangeGroup::eventFilter(QObject* watched, QEvent* event)
{
    // The options act when they receive the focus, by click or by keyboard, not when they are chosen.
    if (event->type() == QEvent::FocusIn) {
        if (watched == wholeFileOption_)
            wholeFileFocused();
        else if (watched == lineOption_)
            lineOptionFocused();
    }
    return QFrame::eventFilter(watched, event);
}

void RangeGroup::wholeFileFocused() { setFieldsEnabled(false); }

void RangeGroup::lineOptionFocused() { setFieldsEnabled(true); }

void RangeGroup::setFieldsEnabled(bool on)
{
    firstLine_->setEnabled(on);
    until_->setEnabled(on);
    lastLine_->setEnabled(on);
}

torvel::Range RangeGroup::range() const
{
    firstLine_->interpretText();
    lastLine_->interpretText();
    torvel::Range r;
    r.wholeFile = !lineOption_->isChecked();
    r.first = firstLine_->value();
    r.last = lastLine_->value();
    return r;
}
