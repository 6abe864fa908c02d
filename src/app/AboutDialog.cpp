#include "app/AboutDialog.h"

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

AboutDialog::AboutDialog(QWidget* parent)
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

    border_ = new QFrame(this);
    border_->setObjectName(QStringLiteral("Shape1"));
    border_->setGeometry(8, 8, 421, 425);
    border_->setStyleSheet(
        QStringLiteral("QFrame#Shape1 { border: 1px solid rgb(81, 81, 255); background: transparent; }"));
    border_->setAttribute(Qt::WA_TransparentForMouseEvents);

    banner_ = new QLabel(this);
    banner_->setObjectName(QStringLiteral("Image1"));
    banner_->setGeometry(18, 12, 400, 130);
    banner_->setPixmap(QPixmap(QStringLiteral(":/images/about-top.jpg")));
    banner_->setAccessibleName(QString::fromUtf8(torvel::maker::kName));

    introduction_ = new QPlainTextEdit(this);
    introduction_->setObjectName(QStringLiteral("Memo1"));
    introduction_->setReadOnly(true);
    introduction_->setFrameShape(QFrame::NoFrame);
    introduction_->setLineWrapMode(QPlainTextEdit::NoWrap);
    introduction_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    introduction_->setTabChangesFocus(true);
    QFont memoFont = font();
    memoFont.setPointSize(10);
    introduction_->setFont(memoFont);
    introduction_->document()->setDocumentMargin(2);
    introduction_->setPlainText(introductionText());
    introduction_->setAccessibleName(QStringLiteral("Apresentação da Tornaluz"));
    // All the room between the banner and the small picture: thirteen 10-point lines fit in it.
    introduction_->setGeometry(18, 146, 400, 215);

    smallPicture_ = new QLabel(this);
    smallPicture_->setObjectName(QStringLiteral("Image2"));
    smallPicture_->setGeometry(8 + 421 - 8 - 100, 8 + 425 - 4 - 64, 100, 64);
    smallPicture_->setPixmap(QPixmap(QStringLiteral(":/images/about-small.jpg")));
    smallPicture_->setAccessibleName(QStringLiteral("Tornaluz"));

    webAddress_ = new QLabel(QString::fromUtf8(torvel::maker::kWebAddress), this);
    webAddress_->setObjectName(QStringLiteral("Label2"));
    QFont linkFont = font();
    linkFont.setPointSize(12);
    linkFont.setUnderline(true);
    webAddress_->setFont(linkFont);
    // The transparent border keeps the text still when the focus border appears.
    webAddress_->setStyleSheet(QStringLiteral("QLabel#Label2 { color: blue; border: 1px solid transparent; }"
                                              "QLabel#Label2:focus { border: 1px dotted gray; }"));
    webAddress_->setCursor(Qt::PointingHandCursor);
    webAddress_->setFocusPolicy(Qt::TabFocus);
    webAddress_->setAccessibleName(QStringLiteral("Site da Tornaluz"));
    webAddress_->setAccessibleDescription(webAddress_->text());
    webAddress_->adjustSize();
    webAddress_->move(18, 8 + 425 - 4 - 32 - webAddress_->height() / 2);
    webAddress_->installEventFilter(this);

    okButton_ = new QPushButton(QIcon(QStringLiteral(":/icons/ok.png")), QStringLiteral("OK"), this);
    okButton_->setObjectName(QStringLiteral("BitBtn1"));
    okButton_->setGeometry(kWidth - 8 - 75, kHeight - 8 - 27, 75, 27);
    okButton_->setDefault(true);
    okButton_->setAccessibleName(QStringLiteral("OK"));
    connect(okButton_, &QPushButton::clicked, this, &QDialog::accept);

    border_->lower();
    setTabOrder(okButton_, webAddress_);
    setTabOrder(webAddress_, introduction_);
}

void AboutDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    okButton_->setFocus();
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == webAddress_) {
        if (event->type() == QEvent::MouseButtonRelease) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && webAddress_->rect().contains(mouse->position().toPoint())) {
                openWebSite();
                return true;
            }
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                openWebSite();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void AboutDialog::openWebSite()
{
    if (openUrl_)
        openUrl_(QUrl::fromUserInput(webAddress_->text()));
}
