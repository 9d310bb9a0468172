#include "platform/FileChooser.h"

#include "platform/FileDialogTexts.h"

#include <QRegularExpression>

namespace itm {

namespace {

// The ending of the first pattern of a filter ("Registru (*.xlsx *.csv)":
// xlsx), given to a name typed without one.
QString firstEnding(const QString& filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    return pattern.match(filter).captured(1);
}

} // namespace

std::unique_ptr<QFileDialog> QtFileChooser::dialog(
    QWidget* parent, const QString& caption, const QString& suggested, const QString& filter, bool save)
{
    InstallFileDialogTexts();
    auto chooser = std::make_unique<QFileDialog>(parent, caption, QString(), filter);
    // Qt's own dialog, whose every text is the program's Romanian.
    chooser->setOption(QFileDialog::DontUseNativeDialog);
    chooser->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    chooser->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    chooser->setLabelText(QFileDialog::LookIn, QStringLiteral("Cauta in:"));
    chooser->setLabelText(QFileDialog::FileName, QStringLiteral("&Nume fisier:"));
    chooser->setLabelText(QFileDialog::FileType, QStringLiteral("Tip fisier:"));
    chooser->setLabelText(QFileDialog::Accept, save ? QStringLiteral("&Salveaza") : QStringLiteral("&Deschide"));
    chooser->setLabelText(QFileDialog::Reject, QStringLiteral("Renunta"));
    if (save) {
        chooser->setDefaultSuffix(firstEnding(filter));
        if (!suggested.isEmpty())
            chooser->selectFile(suggested);
    }
    return chooser;
}

QString QtFileChooser::openFileName(QWidget* parent, const QString& caption, const QString& filter)
{
    const auto chooser = dialog(parent, caption, QString(), filter, false);
    return chooser->exec() == QDialog::Accepted ? chooser->selectedFiles().value(0) : QString();
}

QString QtFileChooser::saveFileName(
    QWidget* parent, const QString& caption, const QString& suggested, const QString& filter)
{
    const auto chooser = dialog(parent, caption, suggested, filter, true);
    return chooser->exec() == QDialog::Accepted ? chooser->selectedFiles().value(0) : QString();
}

} // namespace itm
