#include "app/SplashWindow.h"

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

SplashWindow::SplashWindow(QWidget* parent, int intervalMs)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    torvel::initResources();
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(QStringLiteral("Torvel"));
    setAccessibleName(QStringLiteral("Torvel"));
    setFont(torvel::windowFont());
    setFixedSize(kWidth, kHeight);
    move(kLeft, kTop);
    // Closing the main window ends the program even while the splash is still up.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setGeometry(0, 0, kWidth, kHeight);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/splash.jpg")));
    picture->setAccessibleName(QStringLiteral("Torvel - Editor de Programas CNC"));

    addLabel("Label3", QStringLiteral("Versão 1.1"), 22, 191);
    addLabel("Label1", QStringLiteral("Desenvolvido Por:"), 21, 207);
    addLabel("Label2", QString::fromUtf8(torvel::maker::kName), 48, 224);
    addLabel("Label4", QString::fromUtf8(torvel::maker::kDeveloper1), 48, 240);
    addLabel("Label5", QString::fromUtf8(torvel::maker::kDeveloper2), 48, 256);
    addLabel("Label6", QStringLiteral("Inicializando..."), 132, 274);
    QLabel* starting = addLabel("Label7", QStringLiteral("Inicializando..."), 20, 98);
    QPalette red = starting->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    starting->setPalette(red);

    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer1"));
    timer_->setSingleShot(true);
    timer_->setInterval(intervalMs);
    connect(timer_, &QTimer::timeout, this, &SplashWindow::hideSplash);
    timer_->start();
}

QLabel* SplashWindow::addLabel(const char* name, const QString& text, int left, int top)
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

void SplashWindow::hideSplash()
{
    timer_->stop();
    close();
}
