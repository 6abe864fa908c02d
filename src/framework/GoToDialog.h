#pragma once

#include "core/GoToTarget.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;

// "Ir para": a line number or a block number (N1230). The dialog stays open with the
// reason shown until what is typed leads somewhere, or the user cancels.
class GoToDialog : public QDialog {
    Q_OBJECT
public:
    using Resolver = std::function<torvel::GoToResult(const QString& typed)>;

    explicit GoToDialog(QWidget* parent = nullptr);

    // The 0-based line chosen, or nothing when cancelled. `lines` is shown as the range.
    std::optional<long long> ask(long long lines, const Resolver& resolve);

    void accept() override;

private:
    QLineEdit* field_;
    QLabel* hint_;
    QLabel* error_;
    Resolver resolve_;
    long long chosen_ = -1;
};
