#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every modal box goes through here so that tests can answer it.
class MessageBox {
public:
    enum Answer { Yes, No, Cancel, Ok };

    // Error box: caption "Error", error icon, one OK button.
    static void error(QWidget* parent, const QString& text);
    // Close question: caption "Warning", warning icon, "&Yes" (default), "&No", "Cancel";
    // Esc and the close box answer Cancel.
    static Answer question(QWidget* parent, const QString& text);
    // Yes-or-no question: caption "Torvel", question icon, "&Sim" (default) and "&Não";
    // Esc and the close box answer No.
    static Answer confirm(QWidget* parent, const QString& text);

    // Tests: answer the next boxes without showing them, and see what they said.
    using Hook = std::function<Answer(const QString& kind, const QString& text)>;
    static void setHook(Hook hook);

private:
    static Hook& hook();
};
