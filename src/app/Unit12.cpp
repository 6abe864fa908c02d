#include "app/Unit12.h"

#include "app/AppResources.h"
#include "app/MakerInfo.h"
#include "app/WindowFont.h"

#include <QLabel>
#include <QPixmap>
#include <QTimer>

namespace {
constexpr int kWidth = 500;
constexpr int kHeight = 300;
constexpr int kLeft = 291;
constexpr int kTop = 215;
} // namespace

TForm12::TForm12(QWidget* parent, int intervalMs)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    torvel::initResources();
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Torvel"));
    setAccessibleName(QStringLiteral("Torvel"));
    setFont(torvel::windowFont());
    setFixedSize(kWidth, kHeight);
    move(kLeft, kTop);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(0, 0, kWidth, kHeight);
    Image1->setPixmap(QPixmap(QStringLiteral(":/images/splash.jpg")));
    Image1->setAccessibleName(QStringLiteral("Torvel - Editor de Programas CNC"));

    Label3 = addLabel("Label3", QStringLiteral("Versão 1.1"), 22, 191);
    Label1 = addLabel("Label1", QStringLiteral("Desenvolvido Por:"), 21, 207);
    Label2 = addLabel("Label2", QString::fromUtf8(torvel::maker::kName), 48, 224);
    Label4 = addLabel("Label4", QString::fromUtf8(torvel::maker::kDeveloper1), 48, 240);
    Label5 = addLabel("Label5", QString::fromUtf8(torvel::maker::kDeveloper2), 48, 256);
    Label6 = addLabel("Label6", QStringLiteral("Inicializando..."), 132, 274);
    Label7 = addLabel("Label7", QStringLiteral("Inicializando..."), 20, 98);
    QPalette red = Label7->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label7->setPalette(red);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(intervalMs);
    connect(Timer1, &QTimer::timeout, this, &TForm12::Timer1Timer);
    Timer1->start();
}

QLabel* TForm12::addLabel(const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    // Labels draw no background of their own, so the picture shows around the letters.
    label->setAutoFillBackground(false);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->move(left, top);
    label->adjustSize();
    return label;
}

void TForm12::Timer1Timer()
{
    Timer1->stop();
    hide();
}
