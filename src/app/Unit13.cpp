#include "app/Unit13.h"

#include "app/AppResources.h"
#include "app/MakerInfo.h"
#include "app/WindowFont.h"

#include <QDesktopServices>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace {
constexpr int kWidth = 437;
constexpr int kHeight = 479;
constexpr int kMemoLines = 13;

// Thirteen lines, one per row of the memo.
const char* const kIntroduction[kMemoLines] = {
    "A Tornaluz Sistemas CNC é uma empresa brasileira que",
    "atende a indústria metalmecânica em quatro frentes:",
    "pós-processamento de programas CNC, usinagem de",
    "peças, documentação de processos e a ligação entre",
    "os sistemas CAD/CAM e as máquinas CNC da fábrica.",
    "",
    "O Torvel nasceu na nossa oficina: ele serve para",
    "editar os programas das máquinas CNC de forma mais",
    "fácil e rápida, com cada alteração registrada.",
    "",
    "Visite o nosso site e envie as suas dúvidas e",
    "sugestões. Elas ajudam a melhorar o Torvel.",
    "Obrigado por usar o Torvel!",
};

QString introductionText()
{
    QStringList lines;
    for (const char* line : kIntroduction)
        lines << QString::fromUtf8(line);
    return lines.join(QLatin1Char('\n'));
}
} // namespace

TForm13::TForm13(QWidget* parent)
    : QDialog(parent,
        Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , openUrl_([](const QUrl& url) { QDesktopServices::openUrl(url); })
{
    torvel::initResources();
    setObjectName(QStringLiteral("Form13"));
    setWindowTitle(QStringLiteral("Sobre - Torvel Vs1.1"));
    setFont(torvel::windowFont());
    setFixedSize(kWidth, kHeight);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    Shape1 = new QFrame(this);
    Shape1->setObjectName(QStringLiteral("Shape1"));
    Shape1->setGeometry(8, 8, 421, 425);
    Shape1->setStyleSheet(
        QStringLiteral("QFrame#Shape1 { border: 1px solid rgb(81, 81, 255); background: transparent; }"));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(18, 12, 400, 130);
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/about-top.jpg")));
    Image1->setAccessibleName(QString::fromUtf8(torvel::maker::kName));

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Memo1->setTabChangesFocus(true);
    QFont memoFont = font();
    memoFont.setPointSize(10);
    Memo1->setFont(memoFont);
    Memo1->document()->setDocumentMargin(2);
    Memo1->setPlainText(introductionText());
    Memo1->setAccessibleName(QStringLiteral("Apresentação da Tornaluz"));
    // All the room between the banner and the small picture: thirteen 10-point lines fit in it.
    Memo1->setGeometry(18, 146, 400, 215);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(8 + 421 - 8 - 100, 8 + 425 - 4 - 64, 100, 64);
    Image2->setPixmap(QPixmap(QStringLiteral(":/images/about-small.jpg")));
    Image2->setAccessibleName(QStringLiteral("Tornaluz"));

    Label2 = new QLabel(QString::fromUtf8(torvel::maker::kWebAddress), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    QFont linkFont = font();
    linkFont.setPointSize(12);
    linkFont.setUnderline(true);
    Label2->setFont(linkFont);
    // The transparent border keeps the text still when the focus border appears.
    Label2->setStyleSheet(QStringLiteral("QLabel#Label2 { color: blue; border: 1px solid transparent; }"
                                         "QLabel#Label2:focus { border: 1px dotted gray; }"));
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->setFocusPolicy(Qt::TabFocus);
    Label2->setAccessibleName(QStringLiteral("Site da Tornaluz"));
    Label2->setAccessibleDescription(Label2->text());
    Label2->adjustSize();
    Label2->move(18, 8 + 425 - 4 - 32 - Label2->height() / 2);
    Label2->installEventFilter(this);

    BitBtn1 = new QPushButton(QIcon(QStringLiteral(":/icons/ok.png")), QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(kWidth - 8 - 75, kHeight - 8 - 27, 75, 27);
    BitBtn1->setDefault(true);
    BitBtn1->setAccessibleName(QStringLiteral("OK"));
    connect(BitBtn1, &QPushButton::clicked, this, &TForm13::BitBtn1Click);

    Shape1->lower();
    setTabOrder(BitBtn1, Label2);
    setTabOrder(Label2, Memo1);
}

void TForm13::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    BitBtn1->setFocus();
}

bool TForm13::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label2) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && Label2->rect().contains(mouse->position().toPoint())) {
                Label2Click();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                Label2Click();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm13::Label2Click()
{
    if (openUrl_)
        openUrl_(QUrl::fromUserInput(Label2->text()));
}

void TForm13::BitBtn1Click() { accept(); }
