#pragma once

#include "platform/FileChooser.h"

#include <QStringList>

namespace itm::test {

// Answers file choosers from a queue of names (an empty name cancels) and
// records the captions asked; a chooser without a queued name is cancelled.
class FakeFileChooser : public FileChooser
{
public:
    QStringList names;
    QStringList captions;

    QString openFileName(QWidget*, const QString& caption, const QString&) override { return next(caption); }
    QString saveFileName(QWidget*, const QString& caption, const QString&, const QString&) override
    {
        return next(caption);
    }

private:
    QString next(const QString& caption)
    {
        captions.append(caption);
        return names.isEmpty() ? QString() : names.takeFirst();
    }
};

} // namespace itm::test
