#include "framework/Gauge.h"

#include <QPainter>

#include <algorithm>

namespace {
const QColor kBarColour(62, 62, 255);
}

Gauge::Gauge(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Progresso"));
}

long long Gauge::clamp(long long value) const
{
    // A range set "backwards" while min and max are changed one at a time must not trap the position.
    return std::clamp(value, std::min(min_, max_), std::max(min_, max_));
}

void Gauge::setMinValue(long long value)
{
    min_ = value;
    position_ = clamp(position_);
    update();
}

void Gauge::setMaxValue(long long value)
{
    max_ = value;
    position_ = clamp(position_);
    update();
}

void Gauge::setProgress(long long value)
{
    const long long clamped = clamp(value);
    if (clamped == position_)
        return;
    position_ = clamped;
    update();
}

int Gauge::percentDone() const
{
    if (max_ == min_)
        return 0;
    // Long double keeps the product exact for any line count a program can have.
    const long double share
        = static_cast<long double>(position_ - min_) * 100.0L / static_cast<long double>(max_ - min_);
    return static_cast<int>(share);
}

QSize Gauge::sizeHint() const { return {300, 25}; }

void Gauge::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect all = rect();
    p.fillRect(all, Qt::white);
    const int percent = percentDone();
    const int barWidth = max_ == min_ ? 0
                                      : static_cast<int>(static_cast<long double>(position_ - min_) * all.width()
                                          / static_cast<long double>(max_ - min_));
    const QRect bar(all.left(), all.top(), std::clamp(barWidth, 0, all.width()), all.height());
    p.fillRect(bar, kBarColour);

    const QString text = QString::number(percent) + QLatin1Char('%');
    // The part of the figure over the bar is drawn white, the rest in the bar colour, as a gauge does.
    p.setClipRect(bar);
    p.setPen(Qt::white);
    p.drawText(all, Qt::AlignCenter, text);
    p.setClipRegion(QRegion(all).subtracted(bar));
    p.setPen(kBarColour);
    p.drawText(all, Qt::AlignCenter, text);
    p.setClipping(false);
    p.setPen(palette().color(QPalette::Mid));
    p.drawRect(all.adjusted(0, 0, -1, -1));
}
