#include "platform/FileDialogTexts.h"

#include <QCoreApplication>
#include <QHash>
#include <QTranslator>

namespace itm {

namespace {

struct Text
{
    const char* context;
    const char* english;
    const char* romanian;
};

// clang-format off
constexpr Text texts[] = {
    { "QFileDialog", "Look in:", "Cauta in:" },
    { "QFileDialog", "File &name:", "&Nume fisier:" },
    { "QFileDialog", "Files of type:", "Tip fisier:" },
    { "QFileDialog", "Directory:", "Dosar:" },
    { "QFileDialog", "&Open", "&Deschide" },
    { "QFileDialog", "&Save", "&Salveaza" },
    { "QFileDialog", "&Choose", "&Alege" },
    { "QFileDialog", "Open", "Deschide" },
    { "QFileDialog", "Save As", "Salveaza ca" },
    { "QFileDialog", "Find Directory", "Alegeti dosarul" },
    { "QFileDialog", "Back", "Inapoi" },
    { "QFileDialog", "Forward", "Inainte" },
    { "QFileDialog", "Go back", "Inapoi" },
    { "QFileDialog", "Go forward", "Inainte" },
    { "QFileDialog", "Parent Directory", "Dosarul parinte" },
    { "QFileDialog", "Go to the parent directory", "Dosarul parinte" },
    { "QFileDialog", "Create New Folder", "Dosar nou" },
    { "QFileDialog", "Create a New Folder", "Dosar nou" },
    { "QFileDialog", "List View", "Lista" },
    { "QFileDialog", "Change to list view mode", "Lista" },
    { "QFileDialog", "Detail View", "Detalii" },
    { "QFileDialog", "Change to detail view mode", "Detalii" },
    { "QFileDialog", "Sidebar", "Locuri" },
    { "QFileDialog", "Files", "Fisiere" },
    { "QFileDialog", "Recent Places", "Locuri recente" },
    { "QFileDialog", "&Rename", "&Redenumeste" },
    { "QFileDialog", "&Delete", "&Sterge" },
    { "QFileDialog", "Show &hidden files", "Arata fisierele &ascunse" },
    { "QFileDialog", "&New Folder", "Dosar &nou" },
    { "QFileDialog", "New Folder", "Dosar nou" },
    { "QFileDialog", "All Files (*)", "Toate fisierele (*)" },
    { "QFileDialog", "%1 already exists.\nDo you want to replace it?", "%1 exista deja.\nIl inlocuiti?" },
    { "QFileDialog", "%1\nFile not found.\nPlease verify the correct file name was given.",
        "%1\nFisierul nu exista.\nVerificati numele fisierului." },
    { "QFileDialog", "%1\nDirectory not found.\nPlease verify the correct directory name was given.",
        "%1\nDosarul nu exista.\nVerificati numele dosarului." },
    { "QFileDialog", "'%1' is write protected.\nDo you want to delete it anyway?",
        "'%1' este protejat la scriere.\nIl stergeti totusi?" },
    { "QFileDialog", "Are you sure you want to delete '%1'?", "Sigur stergeti '%1'?" },
    { "QFileDialog", "Could not delete directory.", "Dosarul nu a putut fi sters." },
    { "QFileDialog", "Remove", "Sterge" },
    { "QFileSystemModel", "Name", "Nume" },
    { "QFileSystemModel", "Size", "Marime" },
    { "QFileSystemModel", "Type", "Tip" },
    { "QFileSystemModel", "Kind", "Tip" },
    { "QFileSystemModel", "Date Modified", "Modificat" },
    { "QFileSystemModel", "My Computer", "Calculatorul" },
    { "QFileSystemModel", "Computer", "Calculatorul" },
    { "QPlatformTheme", "&Yes", "&Da" },
    { "QPlatformTheme", "&No", "&Nu" },
    { "QPlatformTheme", "Cancel", "Renunta" },
    { "QPlatformTheme", "&Cancel", "&Renunta" },
    { "QPlatformTheme", "Open", "Deschide" },
    { "QPlatformTheme", "Save", "Salveaza" },
};
// clang-format on

class FileDialogTranslator : public QTranslator
{
public:
    FileDialogTranslator()
    {
        for (const Text& text : texts)
            m_texts.insert(key(text.context, text.english), QString::fromLatin1(text.romanian));
    }

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        return m_texts.value(key(context, sourceText));
    }

private:
    static QByteArray key(const char* context, const char* sourceText)
    {
        return QByteArray(context) + '\0' + sourceText;
    }

    QHash<QByteArray, QString> m_texts;
};

} // namespace

void InstallFileDialogTexts()
{
    static FileDialogTranslator* installed = nullptr;
    if (installed || !QCoreApplication::instance())
        return;
    installed = new FileDialogTranslator;
    installed->setParent(QCoreApplication::instance());
    QCoreApplication::installTranslator(installed);
}

} // namespace itm
