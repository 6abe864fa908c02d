#include "tools/Unit6.h"

#include "core/CoordinateTools.h"
#include "framework/CaptionColour.h"
#include "framework/MessageBox.h"
#include "framework/Session.h"

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

TForm6::TForm6(Session& session, ToolRunner& runner, QWidget* parent)
    : ToolDialog(session, runner,
        {.caption = QStringLiteral("Translação dos Eixos XYZ"),
            .groupCaption = QStringLiteral(" Adicionar valor ao Eixo "),
            .helpPage = QStringLiteral("TransXYZ.htm"),
            .applyName = QStringLiteral("Button1")},
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
              connect(check, &QCheckBox::toggled, this, [this, check, edit] { axisClick(check, edit); });
              return std::pair {check, edit};
          };
    std::tie(CheckBox1, Edit1)
        = axis(0, QStringLiteral("CheckBox1"), QStringLiteral("Incrementar ao Eixo   X   Valor ="),
            QStringLiteral("Edit1"), QStringLiteral("Valor do eixo X"));
    std::tie(CheckBox2, Edit2)
        = axis(1, QStringLiteral("CheckBox2"), QStringLiteral("Incrementar ao Eixo   Y   Valor ="),
            QStringLiteral("Edit2"), QStringLiteral("Valor do eixo Y"));
    std::tie(CheckBox3, Edit3)
        = axis(2, QStringLiteral("CheckBox3"), QStringLiteral("Incrementar ao Eixo   Z   Valor ="),
            QStringLiteral("Edit3"), QStringLiteral("Valor do eixo Z"));

    CheckBox4 = new QCheckBox(QStringLiteral("Acrescentar caracter \"+\"  nas coordenadas positivas"), this);
    CheckBox4->setObjectName(QStringLiteral("CheckBox4"));
    paintCaption(CheckBox4, false);
    fields()->addWidget(CheckBox4, 3, 0, 1, 2);
    connect(CheckBox4, &QCheckBox::toggled, this, &TForm6::CheckBox4Click);

    // The run itself sits behind a button the user never sees; "Aplicar" checks first.
    btnOK = new QPushButton(QStringLiteral("Func"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setAutoDefault(false);
    btnOK->hide();
    connect(btnOK, &QPushButton::clicked, this, &TForm6::btnOKClick);
    connect(applyButton(), &QPushButton::clicked, this, &TForm6::Button1Click);
    setFieldOrder({CheckBox1, Edit1, CheckBox2, Edit2, CheckBox3, Edit3, CheckBox4});
}

void TForm6::axisClick(QCheckBox* box, QLineEdit* field)
{
    const bool on = box->isChecked();
    paintCaption(box, on);
    if (!on)
        field->clear();
    field->setEnabled(on);
}

void TForm6::CheckBox4Click()
{
    plus_ = CheckBox4->isChecked();
    paintCaption(CheckBox4, plus_);
}

void TForm6::Button1Click()
{
    if (Edit1->text().trimmed().isEmpty() && Edit2->text().trimmed().isEmpty() && Edit3->text().trimmed().isEmpty()) {
        MessageBox::error(this, QStringLiteral("Favor preencher os campos com o valor da translação."));
        return;
    }
    btnOK->click();
}

void TForm6::btnOKClick()
{
    torvel::TranslateOptions options;
    options.x = CheckBox1->isChecked();
    options.y = CheckBox2->isChecked();
    options.z = CheckBox3->isChecked();
    options.xValue = programBytes(Edit1->text());
    options.yValue = programBytes(Edit2->text());
    options.zValue = programBytes(Edit3->text());
    options.plus = plus_;
    options.decimalSeparator = session().decimalSeparator();
    torvel::TranslateTool tool(options);
    runTool(tool);
}
