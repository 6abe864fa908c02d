#include "app/SplashWindow.h"
#include "app/AboutDialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QUrl>
#include <QtTest>

class TestSplashAbout : public QObject {
    Q_OBJECT
private slots:
    void splashShowsItsPictureAndTexts();
    void splashClosesByItself();
    void splashIgnoresClicks();
    void aboutLayout();
    void aboutOpensAnyNumberOfTimes();
    void aboutClosesWithEnterAndEscape();
    void aboutTextIsReadOnly();
    void aboutLinkOpensTheAddressItShows();
    void aboutLinkWorksFromTheKeyboard();

private:
    // Runs exec() on the dialog and, once its loop runs, lets `action` close it.
    static int execAndThen(QDialog& dialog, const std::function<void()>& action)
    {
        QTimer::singleShot(0, &dialog, [&dialog, action] {
            QVERIFY(dialog.isVisible());
            action();
        });
        // A failing action must not leave the test hanging on the modal loop.
        QTimer::singleShot(5000, &dialog, [&dialog] { dialog.done(-1); });
        return dialog.exec();
    }
};

void TestSplashAbout::splashShowsItsPictureAndTexts()
{
    SplashWindow splash;
    QCOMPARE(splash.size(), QSize(500, 300));
    QCOMPARE(splash.pos(), QPoint(291, 215));
    QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(splash.windowFlags() & Qt::WindowStaysOnTopHint));

    auto* image = splash.findChild<QLabel*>(QStringLiteral("Image1"));
    QVERIFY(image);
    QCOMPARE(image->geometry(), QRect(0, 0, 500, 300));
    QCOMPARE(image->pixmap().size(), QSize(500, 300));

    const struct {
        const char* name;
        QString text;
        QPoint place;
    } labels[] = {
        {"Label3", QStringLiteral("Versão 1.1"), {22, 191}},
        {"Label1", QStringLiteral("Desenvolvido Por:"), {21, 207}},
        {"Label6", QStringLiteral("Inicializando..."), {132, 274}},
        {"Label7", QStringLiteral("Inicializando..."), {20, 98}},
    };
    for (const auto& expected : labels) {
        auto* label = splash.findChild<QLabel*>(QString::fromLatin1(expected.name));
        QVERIFY2(label, expected.name);
        QCOMPARE(label->text(), expected.text);
        QCOMPARE(label->pos(), expected.place);
        QVERIFY(!label->autoFillBackground());
    }
    for (const char* name : {"Label2", "Label4", "Label5"}) {
        auto* label = splash.findChild<QLabel*>(QString::fromLatin1(name));
        QVERIFY2(label && !label->text().isEmpty(), name);
    }
    QCOMPARE(
        splash.findChild<QLabel*>(QStringLiteral("Label7"))->palette().color(QPalette::WindowText), QColor(Qt::red));

    QTimer* timer = splash.timer();
    QCOMPARE(timer->objectName(), QStringLiteral("Timer1"));
    QCOMPARE(timer->interval(), 10000);
    QVERIFY(timer->isActive());
}

void TestSplashAbout::splashClosesByItself()
{
    SplashWindow splash(nullptr, 150);
    splash.show();
    QVERIFY(splash.isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 5000);
    QVERIFY(!splash.timer()->isActive());
    // It does not come back once its timer has run out.
    QTest::qWait(300);
    QVERIFY(!splash.isVisible());
}

void TestSplashAbout::splashIgnoresClicks()
{
    SplashWindow splash(nullptr, 600);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(250, 150));
    QTest::mouseClick(splash.findChild<QLabel*>(QStringLiteral("Label6")), Qt::LeftButton);
    QVERIFY(splash.isVisible());
    QVERIFY(splash.timer()->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(!splash.isVisible(), 5000);
}

void TestSplashAbout::aboutLayout()
{
    AboutDialog about;
    QCOMPARE(about.windowTitle(), QStringLiteral("Sobre - Torvel Vs1.1"));
    QCOMPARE(about.size(), QSize(437, 479));
    QCOMPARE(about.minimumSize(), about.maximumSize());
    QCOMPARE(about.palette().color(QPalette::Window), QColor(Qt::white));
    QVERIFY(!(about.windowFlags() & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(about.windowFlags() & Qt::WindowMaximizeButtonHint));

    auto* shape = about.findChild<QFrame*>(QStringLiteral("Shape1"));
    QVERIFY(shape);
    QCOMPARE(shape->geometry(), QRect(8, 8, 421, 425));

    auto* top = about.findChild<QLabel*>(QStringLiteral("Image1"));
    auto* small = about.findChild<QLabel*>(QStringLiteral("Image2"));
    QVERIFY(top && small);
    QCOMPARE(top->pixmap().size(), QSize(400, 130));
    QCOMPARE(small->pixmap().size(), QSize(100, 64));
    // The small picture stands inside the frame, in its bottom right corner.
    QVERIFY(shape->geometry().contains(small->geometry()));
    QVERIFY(small->geometry().right() > shape->geometry().center().x());
    QVERIFY(small->geometry().top() > shape->geometry().center().y());

    auto* memo = about.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    QVERIFY(memo);
    QCOMPARE(memo->font().pointSize(), 10);
    QVERIFY(shape->geometry().contains(memo->geometry()));
    QVERIFY(!memo->geometry().intersects(small->geometry()));
    QVERIFY(!memo->geometry().intersects(top->geometry()));

    auto* link = about.findChild<QLabel*>(QStringLiteral("Label2"));
    QVERIFY(link);
    QCOMPARE(link->font().pointSize(), 12);
    QVERIFY(link->font().underline());
    QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    QVERIFY(!link->geometry().intersects(small->geometry()));

    auto* ok = about.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(!ok->icon().isNull());
    // The OK button lies in the strip below the frame.
    QVERIFY(ok->geometry().top() > shape->geometry().bottom());
    QVERIFY(about.rect().contains(ok->geometry()));
}

void TestSplashAbout::aboutOpensAnyNumberOfTimes()
{
    AboutDialog about;
    for (int i = 0; i < 3; ++i) {
        const int result = execAndThen(about,
            [&about] { QTest::mouseClick(about.findChild<QPushButton*>(QStringLiteral("BitBtn1")), Qt::LeftButton); });
        QCOMPARE(result, int(QDialog::Accepted));
        QVERIFY(!about.isVisible());
    }
}

void TestSplashAbout::aboutClosesWithEnterAndEscape()
{
    AboutDialog about;
    const auto press = [&about](Qt::Key key) {
        return [&about, key] {
            QWidget* target = about.focusWidget() ? about.focusWidget() : &about;
            QTest::keyClick(target, key);
        };
    };
    QCOMPARE(execAndThen(about, press(Qt::Key_Escape)), int(QDialog::Rejected));
    QCOMPARE(execAndThen(about, press(Qt::Key_Return)), int(QDialog::Accepted));
    // Enter also closes when the reader has clicked into the text.
    QCOMPARE(execAndThen(about,
                 [&about] {
                     auto* memo = about.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
                     memo->setFocus();
                     QTest::keyClick(memo, Qt::Key_Return);
                 }),
        int(QDialog::Accepted));
}

void TestSplashAbout::aboutTextIsReadOnly()
{
    AboutDialog about;
    auto* memo = about.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->blockCount(), 13);
    QCOMPARE(memo->frameShape(), QFrame::NoFrame);
    const QString before = memo->toPlainText();
    QVERIFY(before.contains(QStringLiteral("CAD/CAM")));
    about.show();
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("abc"));
    QTest::keyClick(memo, Qt::Key_Delete);
    QTest::keyClick(memo, Qt::Key_Backspace);
    QTest::keyClick(memo, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(memo->toPlainText(), before);
    // All thirteen lines are in view at once.
    QCOMPARE(memo->verticalScrollBar()->maximum(), 0);
    about.hide();
}

void TestSplashAbout::aboutLinkOpensTheAddressItShows()
{
    AboutDialog about;
    QList<QUrl> opened;
    about.setUrlOpener([&opened](const QUrl& url) { opened << url; });
    about.show();
    auto* link = about.findChild<QLabel*>(QStringLiteral("Label2"));
    QTest::mouseClick(link, Qt::LeftButton);
    QCOMPARE(opened.size(), 1);
    QCOMPARE(opened[0].host(), link->text());
    QVERIFY(opened[0].isValid());
    QVERIFY(opened[0].scheme().startsWith(QStringLiteral("http")));
    // A right click is not a click on the link.
    QTest::mouseClick(link, Qt::RightButton);
    QCOMPARE(opened.size(), 1);
    QVERIFY(about.isVisible());
    about.hide();
}

void TestSplashAbout::aboutLinkWorksFromTheKeyboard()
{
    AboutDialog about;
    QList<QUrl> opened;
    about.setUrlOpener([&opened](const QUrl& url) { opened << url; });
    about.show();
    auto* link = about.findChild<QLabel*>(QStringLiteral("Label2"));
    QVERIFY(link->focusPolicy() & Qt::TabFocus);
    link->setFocus();
    QTest::keyClick(link, Qt::Key_Space);
    QCOMPARE(opened.size(), 1);
    about.hide();
}

QTEST_MAIN(TestSplashAbout)
#include "test_splash_about.moc"
