#include "framework/ToolDialog.h"

#include "core/LineTool.h"
#include "framework/ButtonKeys.h"
#include "framework/CaptionColour.h"
#include "framework/Session.h"
#include "framework/ToolRunner.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

QIcon helpIcon()
{
    const QString path = QStringLiteral(":/icons/help.png");
    // Without the picture the button shows its "?" text.
    return QFile::exists(path) ? QIcon(path) : QIcon();
}

ToolDialog::ToolDialog(Session& session, ToolRunner& runner, const Setup& setup, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , session_(session)
    , runner_(runner)
    , helpPage_(setup.helpPage)
{
    setWindowTitle(setup.caption);
    setModal(true);

    group_ = new QGroupBox(setup.groupCaption, this);
    group_->setObjectName(QStringLiteral("GroupBox1"));
    groupLayout_ = new QGridLayout(group_);

    fields_ = new QGridLayout;
    groupLayout_->addLayout(fields_, 0, 0);

    helpButton_ = new QToolButton(group_);
    helpButton_->setObjectName(QStringLiteral("SpeedButton1"));
    helpButton_->setAutoRaise(true);
    helpButton_->setIcon(helpIcon());
    helpButton_->setText(QStringLiteral("?"));
    helpButton_->setToolTip(QStringLiteral("Ajuda"));
    helpButton_->setAccessibleName(QStringLiteral("Ajuda"));
    helpButton_->setFocusPolicy(Qt::StrongFocus);
    groupLayout_->addWidget(helpButton_, 0, 1, Qt::AlignTop | Qt::AlignRight);
    connect(helpButton_, &QToolButton::clicked, this, &ToolDialog::openHelpPage);
    auto* f1 = new QShortcut(QKeySequence::HelpContents, this);
    connect(f1, &QShortcut::activated, this, &ToolDialog::openHelpPage);

    if (setup.withRange) {
        auto* line = new QFrame(group_);
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        groupLayout_->addWidget(line, 1, 0, 1, 2);
        range_ = new RangeGroup(setup.rangeCaptions, group_);
        groupLayout_->addWidget(range_, 2, 0, 1, 2);
    }

    apply_ = new QPushButton(QStringLiteral("Aplicar"), this);
    apply_->setObjectName(setup.applyName);
    apply_->setDefault(setup.applyIsDefault);
    cancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
    cancel_->setObjectName(setup.cancelName);
    // A dialog without a default button would make its first button the default when shown.
    if (!setup.applyIsDefault) {
        apply_->setAutoDefault(false);
        cancel_->setAutoDefault(false);
    }
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    if (setup.withPreview) {
        preview_ = new QPushButton(QStringLiteral("Visualizar"), this);
        preview_->setObjectName(QStringLiteral("PreviewButton"));
        preview_->setAutoDefault(false);
        connect(preview_, &QPushButton::clicked, this, [this] {
            if (runner_.previewing())
                runner_.cancelPreview();
            else
                preview();
        });
        connect(&runner_, &ToolRunner::previewBusy, this, [this](QWidget* owner, bool busy) {
            if (owner == this)
                showPreviewBusy(busy);
        });
        buttons->addWidget(preview_);
    }
    buttons->addWidget(apply_);
    buttons->addWidget(cancel_);

    auto* column = new QVBoxLayout(this);
    column->addWidget(group_);
    column->addLayout(buttons);
    // Fixed size: the window is as large as its contents and cannot be resized.
    column->setSizeConstraint(QLayout::SetFixedSize);
}

void ToolDialog::showModal()
{
    show();
    raise();
    activateWindow();
}

void ToolDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (placed_)
        return;
    placed_ = true;
    if (const QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

void ToolDialog::keyPressEvent(QKeyEvent* event)
{
    if (!pressFocusedButton(this, event))
        QDialog::keyPressEvent(event);
}

void ToolDialog::setFieldOrder(const QList<QWidget*>& ownFields)
{
    QList<QWidget*> order = ownFields;
    if (range_)
        order << range_->wholeFileOption() << range_->lineOption() << range_->firstLine() << range_->lastLine();
    if (preview_)
        order << preview_;
    order << apply_ << cancel_ << helpButton_;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    order.first()->setFocus();
}

void ToolDialog::makeOptionGroup(std::initializer_list<QRadioButton*> options)
{
    auto* group = new QButtonGroup(this);
    for (QRadioButton* option : options)
        group->addButton(option);
}

void ToolDialog::openHelpPage() { session_.openHelp(helpPage_); }

std::string ToolDialog::programBytes(const QString& typed) const { return session_.toProgramBytes(typed); }

void ToolDialog::previewTool(std::unique_ptr<torvel::LineTool> tool, const torvel::FunctionMeaning& meaning)
{
    const torvel::Range range = range_ ? range_->range() : torvel::Range {};
    runner_.preview(this, std::move(tool), range, meaning);
}

void ToolDialog::showPreviewBusy(bool busy)
{
    preview_->setText(busy ? QStringLiteral("Parar") : QStringLiteral("Visualizar"));
    preview_->setToolTip(busy ? QStringLiteral("Parar a visualização em andamento") : QString());
    if (busy)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void ToolDialog::hideEvent(QHideEvent* event)
{
    // A preview belongs to the open dialog: applied, the real path replaces it; cancelled, it
    // goes, and one still being made is stopped.
    if (preview_) {
        runner_.cancelPreview();
        if (runner_.clearPreview)
            runner_.clearPreview();
    }
    QDialog::hideEvent(event);
}

void ToolDialog::runTool(torvel::LineTool& tool, const torvel::FunctionMeaning* meaning)
{
    const torvel::Range range = range_ ? range_->range() : torvel::Range {};
    runner_.run(this, tool, range, meaning);
}

QComboBox* ToolDialog::addTextCombo(int row, const QString& objectName, const QString& label, const QStringList& items)
{
    auto* caption = new QLabel(label, this);
    auto* combo = new QComboBox(this);
    combo->setObjectName(objectName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // The text is used exactly as typed: no completion may change it.
    combo->setCompleter(nullptr);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    combo->setEditText(QString());
    combo->setMinimumWidth(220);
    caption->setBuddy(combo);
    combo->setAccessibleName(label.trimmed());
    fields_->addWidget(caption, row, 0);
    fields_->addWidget(combo, row, 1);
    return combo;
}

QCheckBox* ToolDialog::addVariantOption(int row, const QString& objectName, const QString& caption)
{
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(objectName);
    paintCaption(box, false);
    connect(box, &QCheckBox::toggled, box, [box](bool on) { paintCaption(box, on); });
    fields_->addWidget(box, row, 0, 1, 2);
    return box;
}

int ToolDialog::numberValue(QSpinBox* field)
{
    // A value still being typed is settled as leaving the field would settle it.
    field->interpretText();
    return field->value();
}
