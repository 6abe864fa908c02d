#pragma once

#include <QDialog>

#include <functional>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QUrl;

// The About window: the maker's banner, its introduction, its web address as a link, and OK.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    using UrlOpener = std::function<void(const QUrl&)>;

    explicit AboutDialog(QWidget* parent = nullptr);

    // The link hands its address to this function; by default the desktop's browser opens it.
    void setUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

    void openWebSite();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QFrame* border_;
    QLabel* banner_;
    QPlainTextEdit* introduction_;
    QLabel* smallPicture_;
    QLabel* webAddress_;
    QPushButton* okButton_;
    UrlOpener openUrl_;
};
