#pragma once

#include <QValidator>

namespace itm {

// Turns what is typed into upper case before the text changes, so that a
// field that reacts to every change (the completion of a lookup field) sees
// each keystroke once, already in upper case.
class UpperCaseValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

} // namespace itm
