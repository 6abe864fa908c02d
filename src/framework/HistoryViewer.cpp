#include "framework/HistoryViewer.h"

#include "framework/HistoryText.h"
#include "framework/Session.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

HistoryViewer::HistoryViewer(Session& session, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , session_(session)
{
    setObjectName(QStringLiteral("Form17"));
    setWindowTitle(QStringLiteral("Histórico das funções aplicadas"));
    setModal(true);
    setFixedSize(590, 329);

    group_ = new QGroupBox(QStringLiteral(" Dados para Operação "), this);
    group_->setObjectName(QStringLiteral("GroupBox1"));
    text_ = new QPlainTextEdit(group_);
    text_->setObjectName(QStringLiteral("Memo2"));
    text_->setAccessibleName(QStringLiteral("Dados da função"));
    // Only a vertical bar: a long description line wraps at the window's edge.
    text_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    text_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to "Cancelar" rather than typing a tab into the text.
    text_->setTabChangesFocus(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    text_->setFont(font);
    QPalette p = text_->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    text_->setPalette(p);
    auto* inGroup = new QVBoxLayout(group_);
    inGroup->addWidget(text_);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    saveRecipeButton_ = new QPushButton(QStringLiteral("&Salvar Receita..."), this);
    saveRecipeButton_->setObjectName(QStringLiteral("btnSalvarReceita"));
    saveRecipeButton_->setAccessibleName(QStringLiteral("Salvar Receita"));
    // Enter keeps closing the viewer, as before the button was here.
    saveRecipeButton_->setAutoDefault(false);
    saveRecipeButton_->setToolTip(
        QStringLiteral("Salva como receita a função mostrada e as aplicadas depois dela (ou todas)"));
    connect(saveRecipeButton_, &QPushButton::clicked, this, [this] {
        if (saveRecipe)
            saveRecipe(this, selectedIndex_);
    });

    closeButton_ = new QPushButton(QStringLiteral("Cancelar"), this);
    closeButton_->setObjectName(QStringLiteral("Button1"));
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(saveRecipeButton_);
    buttons->addStretch(1);
    buttons->addWidget(closeButton_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(group_, 1);
    column->addWidget(line);
    column->addLayout(buttons);
}

void HistoryViewer::showFor(int selectedIndex)
{
    selectedIndex_ = selectedIndex;
    if (isVisible())
        showDescription();
    show();
    raise();
    activateWindow();
}

void HistoryViewer::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    showDescription();
    if (!placed_) {
        placed_ = true;
        if (const QScreen* s = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(s->availableGeometry().center());
            move(frame.topLeft());
        }
    }
}

void HistoryViewer::showDescription()
{
    text_->clear();
    const auto& history = session_.document().history;
    group_->setTitle(historyText(torvel::History::viewerCaption(selectedIndex_)));
    QStringList lines;
    for (const std::string& line : history.viewerLines(selectedIndex_))
        lines << historyText(line);
    text_->setPlainText(lines.join(QLatin1Char('\n')));
    text_->moveCursor(QTextCursor::Start);
    text_->setFocus();
}
