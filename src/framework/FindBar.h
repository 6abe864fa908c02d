#pragma once

#include "core/ProgramSearch.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTimer;
class QToolButton;

// The bar at the bottom of the window that finds a text in the program: a field,
// the two options, previous and next, a line for the count or a note, and a close
// button. It only gathers what to find and shows what the window reports back.
class FindBar : public QWidget {
    Q_OBJECT
public:
    explicit FindBar(QWidget* parent = nullptr);

    QString text() const;
    torvel::SearchOptions options() const;
    // Shows the bar with the field focused and its text selected; `preset` replaces the text when given.
    void open(const QString& preset = QString());
    // "3 de 120", or a note such as the wrap at the end.
    void setStatus(const QString& status);
    QString status() const;

signals:
    void nextRequested();
    void previousRequested();
    // The text or an option changed (after a short pause while typing).
    void searchChanged();
    void closed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void close();

    QLineEdit* field_;
    QCheckBox* matchCase_;
    QCheckBox* wholeWord_;
    QToolButton* previous_;
    QToolButton* next_;
    QToolButton* close_;
    QLabel* status_;
    QTimer* typing_;
};
