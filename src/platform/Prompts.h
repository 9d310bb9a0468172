#pragma once

#include <QString>

namespace itm {

// Every message box of the program goes through this interface, so that tests
// can answer them and read what was shown.
class Prompts
{
public:
    virtual ~Prompts() = default;
    // Plain box: the program's title as caption, no icon, OK.
    virtual void message(const QString& text) = 0;
    // A box with its own caption ("Atentie"), no icon, OK.
    virtual void notice(const QString& caption, const QString& text) = 0;
    // Confirmation: caption "Confirm", question icon, Yes (default) and No; Escape answers No.
    virtual bool confirm(const QString& question) = 0;
    // The standard error box: the program's title, stop icon, OK; the text as
    // errorBoxText gives it.
    virtual void error(const QString& text) = 0;
};

// The program's title, the caption of its boxes and the start of the main window's caption.
QString programTitle();

// A full stop is added when the message ends in a character that sorts after
// "." (a letter or a digit, for example).
QString errorBoxText(const QString& message);

} // namespace itm
