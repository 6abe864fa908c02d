#pragma once

#include "verify/Verification.h"

#include <QDockWidget>

#include <vector>

class QLabel;
class QListWidget;

// "Verificação": the lines whose result is not the transform the function meant, each
// with its reason. Choosing one (double click or Enter) goes to its line.
class VerificationDock : public QDockWidget {
    Q_OBJECT
public:
    explicit VerificationDock(QWidget* parent = nullptr);

    void showChecking();
    void showFindings(const std::vector<torvel::Finding>& findings);
    void showFailure();

    QListWidget* list() const { return list_; }
    QString summary() const;

    // "Trajetória conferida: nenhum aviso", "... 1 aviso", "... 37 avisos".
    static QString countText(size_t count);

signals:
    // 1-based row.
    void lineChosen(long long row);

private:
    QLabel* summary_;
    QListWidget* list_;
};
