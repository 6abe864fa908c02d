#pragma once

#include "framework/RangeGroup.h"

#include <QDialog>

#include <initializer_list>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QSpinBox;
class QGroupBox;
class QPushButton;
class QRadioButton;
class QToolButton;
class Session;
class ToolRunner;

namespace torvel {
struct FunctionMeaning;
class LineTool;
} // namespace torvel

// What every tool dialog has: a fixed-size modal window centred on the screen with only a
// close box, one group box holding the dialog's own fields, the application range and a
// help button, and "Aplicar" and "Cancelar". A dialog is created once and only hidden,
// so what the user typed is there the next time.
class ToolDialog : public QDialog {
    Q_OBJECT
public:
    struct Setup {
        QString caption;
        QString groupCaption;
        QString helpPage; // under "Ajuda/" of the program folder
        bool withRange = true; // the line commands have none
        RangeGroup::Captions rangeCaptions = {}; // whole-file caption and the "até" label's name
        QString applyName = QStringLiteral("btnOK");
        QString cancelName = QStringLiteral("Button2");
        bool applyIsDefault = true;
        bool withPreview = false; // "Visualizar": the coordinate functions
    };

    // Shows the dialog modally without waiting for it.
    void showModal();

    RangeGroup* rangeGroup() const { return range_; }
    QPushButton* applyButton() const { return apply_; }
    QPushButton* cancelButton() const { return cancel_; }
    QPushButton* previewButton() const { return preview_; }
    QToolButton* helpButton() const { return helpButton_; }

protected:
    ToolDialog(Session& session, ToolRunner& runner, const Setup& setup, QWidget* parent);

    Session& session() const { return session_; }
    ToolRunner& runner() const { return runner_; }
    // The dialog's own fields go here, above the range.
    QGridLayout* fields() const { return fields_; }
    // Where the range group sits, for a dialog that frames it itself.
    QGridLayout* groupLayout() const { return groupLayout_; }

    // A label and an editable free-text combo box on a row of the fields; nothing is ever
    // added to its list.
    QComboBox* addTextCombo(int row, const QString& objectName, const QString& label, const QStringList& items = {});
    // A check box below the dialog's own fields that turns on a variant the machinist means
    // where the plain function only rewrites text; cleared at first, kept between openings.
    QCheckBox* addVariantOption(int row, const QString& objectName, const QString& caption);
    // A whole-number field with its label; the caller decides where the label goes.
    static int numberValue(QSpinBox* field);

    // The function's own options as one exclusive group. Options that only share a
    // parent would also take in the range's options, which lie further down inside it.
    void makeOptionGroup(std::initializer_list<QRadioButton*> options);

    // The tab order: the dialog's own fields as given, then the range, "Aplicar",
    // "Cancelar" and the help button. The first field has the focus when the dialog first opens.
    void setFieldOrder(const QList<QWidget*>& ownFields);

    // A text typed here, as the bytes of the open program.
    std::string programBytes(const QString& typed) const;
    // Runs the tool over the chosen range; the dialog closes at the end.
    // With `meaning`, the result is then checked against what the function means.
    void runTool(torvel::LineTool& tool, const torvel::FunctionMeaning* meaning = nullptr);
    // "Visualizar": the dialog builds its tool and hands it to previewTool().
    virtual void preview() { }
    void previewTool(std::unique_ptr<torvel::LineTool> tool, const torvel::FunctionMeaning& meaning);
    void hideEvent(QHideEvent* event) override;

    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openHelpPage();
    // While a preview is made the button stops it, and the dialog shows it is busy.
    void showPreviewBusy(bool busy);

    Session& session_;
    ToolRunner& runner_;
    const QString helpPage_;
    QGroupBox* group_;
    QGridLayout* groupLayout_;
    QGridLayout* fields_;
    RangeGroup* range_ = nullptr;
    QToolButton* helpButton_;
    QPushButton* apply_;
    QPushButton* cancel_;
    QPushButton* preview_ = nullptr;
    bool placed_ = false;
};

// The help button's picture from the program's resources; none when they are not loaded.
QIcon helpIcon();
