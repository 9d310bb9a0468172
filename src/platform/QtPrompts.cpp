#include "platform/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace itm {

namespace {
void showOk(QMessageBox::Icon icon, const QString& caption, const QString& text)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}
} // namespace

void QtPrompts::message(const QString& text)
{
    showOk(QMessageBox::NoIcon, programTitle(), text);
}

void QtPrompts::notice(const QString& caption, const QString& text)
{
    showOk(QMessageBox::NoIcon, caption, text);
}

bool QtPrompts::confirm(const QString& question)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), question, QMessageBox::Yes | QMessageBox::No,
        QApplication::activeWindow());
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompts::error(const QString& text)
{
    showOk(QMessageBox::Critical, programTitle(), errorBoxText(text));
}

} // namespace itm
