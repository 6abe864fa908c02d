#pragma once

#include "core/RunProtocol.h"

#include <QObject>
#include <QString>

#include <functional>

// The state the main window shares with its dialogs: the document (text, undo
// ring, history), the program folder, the number format and the display encoding.
// The main window owns it and lends it to every dialog.
class Session : public QObject {
    Q_OBJECT
public:
    explicit Session(QObject* parent = nullptr);

    torvel::Document& document() { return doc_; }
    const torvel::Document& document() const { return doc_; }

    // Folder of the executable, ending in '/'; help pages and settings are found from it.
    QString programFolder() const { return programFolder_; }
    void setProgramFolder(const QString& folder);

    // The locale decimal separator, read once at start.
    char decimalSeparator() const { return decimalSeparator_; }
    void setDecimalSeparator(char c) { decimalSeparator_ = c; }

    // True when the open file is shown as UTF-8, false for Windows-1252.
    bool utf8Display() const { return utf8_; }
    void setUtf8Display(bool utf8) { utf8_ = utf8; }
    QString toDisplay(std::string_view bytes) const;
    // Text typed in a dialog converted to the file's bytes.
    std::string toProgramBytes(const QString& typed) const;

    // The caret row (1-based) of the view; set by the main window.
    std::function<long long()> caretRow = [] { return 1LL; };

    // Undo of the latest function (Del_undo); emits the change signals.
    void undo();
    // A run or edit finished: tell the views.
    void notifyTextChanged() { emit textChanged(); }
    void notifyHistoryChanged() { emit historyChanged(); }
    void notifyUndoState() { emit undoAvailabilityChanged(doc_.undo.buttonEnabled()); }

    // Opens "Ajuda/<page>" of the program folder with the desktop's handler.
    void openHelp(const QString& page) const;
    std::function<void(const QString& path)> helpOpener;

signals:
    void textChanged();
    void historyChanged();
    void undoAvailabilityChanged(bool enabled);
    // The run reached this 0-based row (every 1000th line).
    void followRequested(long long row);
    // A run or edit has ended, however: the keyboard goes back to the program view.
    void viewFocusRequested();

private:
    torvel::Document doc_;
    QString programFolder_;
    char decimalSeparator_ = '.';
    bool utf8_ = false;
};
