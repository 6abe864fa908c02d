#include "tools/TranslateDialog.h"

#include "core/CoordinateTools.h"
#include "framework/CaptionColour.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"
#include "verify/Verification.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

namespace {

// The value fields take only what a number can be typed with: "+", "-", digits and the
// locale decimal separator. Checking the whole text keeps pasted text to the same characters.
class TranslationKeys : public QValidator {
public:
    TranslationKeys(const Session& session, QObject* parent)
        : QValidator(parent)
        , session_(session)
    { }

    State validate(QString& input, int&) const override
    {
        const QChar separator = QLatin1Char(session_.decimalSeparator());
        for (const QChar c : input) {
            const bool allowed = c == QLatin1Char('+') || c == QLatin1Char('-') || c == separator
                || (c >= QLatin1Char('0') && c <= QLatin1Char('9'));
            if (!allowed)
                return Invalid;
        }
        return Acceptable;
    }

private:
    const Session& session_;
};

} // namespace

TranslateDialog::TranslateDialog(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Translação dos Eixos XYZ"),
            .groupCaption = QStringLiteral(" Adicionar valor ao Eixo "),
            .helpPage = QStringLiteral("TransXYZ.htm"),
            .applyName = QStringLiteral("Button1"),
            .withPreview = true},
        parent)
{
    setObjectName(QStringLiteral("Form6"));
    const auto axis
        = [&](int row, const QString& box, const QString& caption, const QString& field, const QString& name) {
              auto* check = new QCheckBox(caption, this);
              check->setObjectName(box);
              auto* edit = new QLineEdit(this);
              edit->setObjectName(field);
              edit->setAccessibleName(name);
              edit->setValidator(new TranslationKeys(session, edit));
              edit->setEnabled(false);
              paintCaption(check, false);
              fields()->addWidget(check, row, 0);
              fields()->addWidget(edit, row, 1);
              connect(check, &QCheckBox::toggled, this, [this, check, edit] { axisToggled(check, edit); });
              return std::pair {check, edit};
          };
    std::tie(xBox_, xValueField_)
        = axis(0, QStringLiteral("CheckBox1"), QStringLiteral("Incrementar ao Eixo   X   Valor ="),
            QStringLiteral("Edit1"), QStringLiteral("Valor do eixo X"));
    std::tie(yBox_, yValueField_)
        = axis(1, QStringLiteral("CheckBox2"), QStringLiteral("Incrementar ao Eixo   Y   Valor ="),
            QStringLiteral("Edit2"), QStringLiteral("Valor do eixo Y"));
    std::tie(zBox_, zValueField_)
        = axis(2, QStringLiteral("CheckBox3"), QStringLiteral("Incrementar ao Eixo   Z   Valor ="),
            QStringLiteral("Edit3"), QStringLiteral("Valor do eixo Z"));

    plusBox_ = new QCheckBox(QStringLiteral("Acrescentar caracter \"+\"  nas coordenadas positivas"), this);
    plusBox_->setObjectName(QStringLiteral("CheckBox4"));
    paintCaption(plusBox_, false);
    fields()->addWidget(plusBox_, 3, 0, 1, 2);
    connect(plusBox_, &QCheckBox::toggled, this, &TranslateDialog::plusToggled);
    followModesBox_ = addVariantOption(4, QStringLiteral("FollowModesBox"),
        QStringLiteral("Seguir os modos: não deslocar blocos G91, linhas G53 e G92/G10"));

    // The run itself sits behind a button the user never sees; "Aplicar" checks first.
    runButton_ = new QPushButton(QStringLiteral("Func"), this);
    runButton_->setObjectName(QStringLiteral("btnOK"));
    runButton_->setAutoDefault(false);
    runButton_->hide();
    connect(runButton_, &QPushButton::clicked, this, &TranslateDialog::apply);
    connect(applyButton(), &QPushButton::clicked, this, &TranslateDialog::checkFields);
    setFieldOrder({xBox_, xValueField_, yBox_, yValueField_, zBox_, zValueField_, plusBox_, followModesBox_});
}

void TranslateDialog::axisToggled(QCheckBox* box, QLineEdit* field)
{
    const bool on = box->isChecked();
    paintCaption(box, on);
    if (!on)
        field->clear();
    field->setEnabled(on);
}

void TranslateDialog::plusToggled()
{
    plus_ = plusBox_->isChecked();
    paintCaption(plusBox_, plus_);
}

torvel::TranslateOptions TranslateDialog::options() const
{
    torvel::TranslateOptions options;
    options.x = xBox_->isChecked();
    options.y = yBox_->isChecked();
    options.z = zBox_->isChecked();
    options.xValue = programBytes(xValueField_->text());
    options.yValue = programBytes(yValueField_->text());
    options.zValue = programBytes(zValueField_->text());
    options.plus = plus_;
    options.decimalSeparator = session().decimalSeparator();
    options.followModes = followModesBox_->isChecked();
    return options;
}

bool TranslateDialog::fieldsFilled()
{
    if (torvel::hasTranslationValue(options()))
        return true;
    MessageBox::error(this,
        QString::fromUtf8(
            torvel::kTranslationNeedsAValue.data(), static_cast<qsizetype>(torvel::kTranslationNeedsAValue.size())));
    return false;
}

void TranslateDialog::checkFields()
{
    if (fieldsFilled())
        runButton_->click();
}

void TranslateDialog::preview()
{
    if (!fieldsFilled())
        return;
    const torvel::TranslateOptions chosen = options();
    previewTool(std::make_unique<torvel::TranslateTool>(chosen), torvel::meaningOf(chosen));
}

void TranslateDialog::apply()
{
    const torvel::TranslateOptions chosen = options();
    torvel::TranslateTool tool(chosen);
    const torvel::FunctionMeaning meaning = torvel::meaningOf(chosen);
    runTool(tool, &meaning);
}
