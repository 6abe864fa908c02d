#include "framework/MessageBox.h"

#include <QMessageBox>
#include <QPushButton>

MessageBox::Hook& MessageBox::hook()
{
    static Hook h;
    return h;
}

void MessageBox::setHook(Hook h) { hook() = std::move(h); }

void MessageBox::error(QWidget* parent, const QString& text)
{
    if (hook()) {
        hook()(QStringLiteral("error"), text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), text, QMessageBox::NoButton, parent);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

MessageBox::Answer MessageBox::question(QWidget* parent, const QString& text)
{
    if (hook())
        return hook()(QStringLiteral("question"), text);
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Warning"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Yes;
    if (box.clickedButton() == no)
        return No;
    return Cancel;
}

MessageBox::Answer MessageBox::confirm(QWidget* parent, const QString& text)
{
    if (hook())
        return hook()(QStringLiteral("confirm"), text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Torvel"), text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("&Sim"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("&Não"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes ? Yes : No;
}
