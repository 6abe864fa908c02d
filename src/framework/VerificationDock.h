#pragma once

#include "verify/Verification.h"

#include <QDockWidget>

#include <vector>

class QLabel;
class QListView;
class FindingList;

// "Verificação": the lines whose result is not the transform the function meant, each
// with its reason. Choosing one (double click or Enter) goes to its line.
class VerificationDock : public QDockWidget {
    Q_OBJECT
public:
    explicit VerificationDock(QWidget* parent = nullptr);

    void showChecking();
    void showFindings(const std::vector<torvel::Finding>& findings);
    void showFailure();
    // The text checked is gone (an undo, a later change): its findings go with it.
    void showDiscarded();
    // Whether the dock shows a check, running or done, rather than nothing or a discarded one.
    bool showsCheck() const { return showsCheck_; }

    // One row a finding, "Linha N: reason"; the model makes a row's text only when it is shown.
    QListView* list() const { return list_; }
    QString summary() const;

    // "Trajetória conferida: nenhum aviso", "... 1 aviso", "... 37 avisos".
    static QString countText(size_t count);
    static QString discardedText();

signals:
    // 1-based row.
    void lineChosen(long long row);

private:
    QLabel* summary_;
    QListView* list_;
    FindingList* findings_;
    bool showsCheck_ = false;
};
