#pragma once

#include <QDialog>

#include <functional>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QUrl;

// The About window: the maker's banner, its introduction, its web address as a link, and OK.
class TForm13 : public QDialog {
    Q_OBJECT
public:
    using UrlOpener = std::function<void(const QUrl&)>;

    explicit TForm13(QWidget* parent = nullptr);

    // The link hands its address to this function; by default the desktop's browser opens it.
    void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

    void Label2Click();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BitBtn1Click();

    QFrame* Shape1;
    QLabel* Image1;
    QPlainTextEdit* Memo1;
    QLabel* Image2;
    QLabel* Label2;
    QPushButton* BitBtn1;
    UrlOpener openUrl_;
};
