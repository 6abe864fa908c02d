#include "framework/Unit17.h"

#include "framework/HistoryText.h"
#include "framework/Session.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TForm17::TForm17(Session& session, QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , session_(session)
{
    setObjectName(QStringLiteral("Form17"));
    setWindowTitle(QStringLiteral("Histórico das funções aplicadas"));
    setModal(true);
    setFixedSize(590, 329);

    GroupBox1 = new QGroupBox(QStringLiteral(" Dados para Operação "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Memo2 = new QPlainTextEdit(GroupBox1);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setAccessibleName(QStringLiteral("Dados da função"));
    // Only a vertical bar: a long description line wraps at the window's edge.
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo2->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // Tab moves on to "Cancelar" rather than typing a tab into the text.
    Memo2->setTabChangesFocus(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(13);
    Memo2->setFont(font);
    QPalette p = Memo2->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    Memo2->setPalette(p);
    auto* inGroup = new QVBoxLayout(GroupBox1);
    inGroup->addWidget(Memo2);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    Button1 = new QPushButton(QStringLiteral("Cancelar"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    connect(Button1, &QPushButton::clicked, this, &TForm17::Button1Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    auto* column = new QVBoxLayout(this);
    column->addWidget(GroupBox1, 1);
    column->addWidget(line);
    column->addLayout(buttons);
}

void TForm17::showFor(int selectedIndex)
{
    selectedIndex_ = selectedIndex;
    if (isVisible())
        FormShow();
    show();
    raise();
    activateWindow();
}

void TForm17::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
    if (!placed_) {
        placed_ = true;
        if (const QScreen* s = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(s->availableGeometry().center());
            move(frame.topLeft());
        }
    }
}

void TForm17::FormShow()
{
    Memo2->clear();
    const auto& history = session_.document().history;
    GroupBox1->setTitle(historyText(torvel::History::viewerCaption(selectedIndex_)));
    QStringList lines;
    for (const std::string& line : history.viewerLines(selectedIndex_))
        lines << historyText(line);
    Memo2->setPlainText(lines.join(QLatin1Char('\n')));
    Memo2->moveCursor(QTextCursor::Start);
    Memo2->setFocus();
}

void TForm17::Button1Click() { close(); }
