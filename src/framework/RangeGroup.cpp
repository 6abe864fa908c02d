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

    RadioButton3 = new QRadioButton(captions.wholeFile, this);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    RadioButton3->setChecked(true);

    RadioButton4 = new QRadioButton(QStringLiteral("Aplicar da linha"), this);
    RadioButton4->setObjectName(QStringLiteral("RadioButton4"));

    SpinEdit1 = new NumberField(QStringLiteral("SpinEdit1"), kLowest, kHighest, 1, this);
    SpinEdit1->setAccessibleName(QStringLiteral("Primeira linha"));
    until_ = new QLabel(QStringLiteral("até"), this);
    until_->setObjectName(captions.untilLabelName);
    SpinEdit2 = new NumberField(QStringLiteral("SpinEdit2"), kLowest, kHighest, 1, this);
    SpinEdit2->setAccessibleName(QStringLiteral("Última linha"));
    until_->setBuddy(SpinEdit2);

    auto* lines = new QHBoxLayout;
    lines->addWidget(RadioButton4);
    lines->addWidget(SpinEdit1);
    lines->addWidget(until_);
    lines->addWidget(SpinEdit2);
    lines->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(RadioButton3);
    column->addLayout(lines);

    setTabOrder(RadioButton3, RadioButton4);
    setTabOrder(RadioButton4, SpinEdit1);
    setTabOrder(SpinEdit1, SpinEdit2);

    setFieldsEnabled(false);
    RadioButton3->installEventFilter(this);
    RadioButton4->installEventFilter(this);
}

bool RangeGroup::eventFilter(QObject* watched, QEvent* event)
{
    // The options act when they receive the focus, by click or by keyboard, not when they are chosen.
    if (event->type() == QEvent::FocusIn) {
        if (watched == RadioButton3)
            RadioButton3Enter();
        else if (watched == RadioButton4)
            RadioButton4Enter();
    }
    return QFrame::eventFilter(watched, event);
}

void RangeGroup::RadioButton3Enter() { setFieldsEnabled(false); }

void RangeGroup::RadioButton4Enter() { setFieldsEnabled(true); }

void RangeGroup::setFieldsEnabled(bool on)
{
    SpinEdit1->setEnabled(on);
    until_->setEnabled(on);
    SpinEdit2->setEnabled(on);
}

torvel::Range RangeGroup::range() const
{
    SpinEdit1->interpretText();
    SpinEdit2->interpretText();
    torvel::Range r;
    r.wholeFile = !RadioButton4->isChecked();
    r.first = SpinEdit1->value();
    r.last = SpinEdit2->value();
    return r;
}
