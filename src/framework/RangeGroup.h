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

    QRadioButton* wholeFileOption() const { return RadioButton3; }
    QRadioButton* lineOption() const { return RadioButton4; }
    QSpinBox* firstLine() const { return SpinEdit1; }
    QSpinBox* lastLine() const { return SpinEdit2; }
    QLabel* untilLabel() const { return until_; }

    static constexpr int kLowest = 1;
    static constexpr int kHighest = 100000000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void RadioButton3Enter();
    void RadioButton4Enter();
    void setFieldsEnabled(bool on);

    QRadioButton* RadioButton3;
    QRadioButton* RadioButton4;
    QSpinBox* SpinEdit1;
    QLabel* until_;
    QSpinBox* SpinEdit2;
};
