#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace itm {

// Every error that a handler does not catch ends that handler and reaches the
// standard error box with its own text; all of them derive from this class.
class Error : public std::exception
{
public:
    explicit Error(QString message)
        : m_message(std::move(message))
        , m_utf8(m_message.toUtf8())
    {
    }
    const QString& message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};

// A text read as a number that is not one.
class ConversionError : public Error
{
public:
    using Error::Error;
};

// SQLite refused an open or a statement; the message is SQLite's own.
class DatabaseError : public Error
{
public:
    using Error::Error;
};

// A write refused because another row already holds the same value of a
// unique column (two programs saving the same code at once on a server).
class UniqueViolation : public DatabaseError
{
public:
    using DatabaseError::DatabaseError;
};

// A date that cannot be formed from its parts.
class DateError : public Error
{
public:
    using Error::Error;
};

} // namespace itm
