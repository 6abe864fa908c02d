#pragma once

#include <QWidget>

// A horizontal bar gauge with the whole percent done written in its middle.
class Gauge : public QWidget {
    Q_OBJECT
public:
    explicit Gauge(QWidget* parent = nullptr);

    void setMinValue(long long value);
    void setMaxValue(long long value);
    // Clamped to the gauge's range.
    void setProgress(long long value);

    long long minValue() const { return min_; }
    long long maxValue() const { return max_; }
    long long progress() const { return position_; }
    // Whole part of (position - min) * 100 / (max - min); 0 when max equals min.
    int percentDone() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    long long clamp(long long value) const;

    long long min_ = 0;
    long long max_ = 100;
    long long position_ = 0;
};
