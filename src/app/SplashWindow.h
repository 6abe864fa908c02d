#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The splash window: the product picture with version, makers and "Inicializando...",
// shown while the program starts and hidden by its own timer.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultInterval = 10000;

    // intervalMs lets tests close the splash sooner than the ten seconds of a real start.
    explicit SplashWindow(QWidget* parent = nullptr, int intervalMs = kDefaultInterval);

    QTimer* timer() const { return timer_; }

private:
    QLabel* addLabel(const char* name, const QString& text, int left, int top);
    void hideSplash();

    QTimer* timer_;
};
