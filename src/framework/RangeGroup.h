#pragma once

#include "core/RunProtocol.h"
#include "framework/NumberField.h"

#include <QFrame>

class QLabel;
class QRadioButton;
class QSpinBox;

// The application range of every range dialog: whole file, or from one line to
// another. The number fields follow the focus of the two options: the whole-file
// option disables them, the line option enables them; choosing never changes their values.
class RangeGroup : public QFrame {
    Q_OBJECT
public:
    struct Captions {
        QString wholeFile = QStringLiteral("Aplicar em todo Arquivo");
        QString untilLabelName = QStringLiteral("Label3");
    };

    explicit RangeGroup(QWidget* parent = nullptr)
        : RangeGroup(Captions(), parent)
    { }
    RangeGroup(const Captions& captions, QWidget* parent = nullptr);

    // Read once when "Aplicar" is pressed; text still being typed is settled first.
    torvel::Range range() const;

    QRadioButton* wholeFileOption() const { return wholeFileOption_; }
    QRadioButton* lineOption() const { return lineOption_; }
    QSpinBox* firstLine() const { return firstLine_; }
    QSpinBox* lastLine() const { return lastLine_; }
    QLabel* untilLabel() const { return until_; }

    static constexpr int kLowest = 1;
    static constexpr int kHighest = 100000000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void wholeFileFocused();
    void lineOptionFocused();
    void setFieldsEnabled(bool on);

    QRadioButton* wholeFileOption_;
    QRadioButton* lineOption_;
    QSpinBox* firstLine_;
    QLabel* until_;
    QSpinBox* lastLine_;
};
