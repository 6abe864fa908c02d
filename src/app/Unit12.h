#pragma once

#include <QWidget>

class QLabel;
class QTimer;

// The splash window: the product picture with version, makers and "Inicializando...",
// shown while the program starts and hidden by its own timer.
class TForm12 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDefaultInterval = 10000;

    // intervalMs lets tests close the splash sooner than the ten seconds of a real start.
    explicit TForm12(QWidget* parent = nullptr, int intervalMs = kDefaultInterval);

    QTimer* timer() const { return Timer1; }

private:
    QLabel* addLabel(const char* name, const QString& text, int left, int top);
    void Timer1Timer();

    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QTimer* Timer1;
};
