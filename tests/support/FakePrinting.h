#pragma once

#include "platform/Printing.h"

#include <QList>
#include <functional>

namespace itm::test {

// Stands for the print preview: records each request and the pages it laid
// out. Like the real preview it lays the page out once before "showing" it
// and once for the preview itself.
class FakePrinting : public Printing
{
public:
    void previewAndPrint(QWidget* parent, const QString& jobTitle, std::function<PageLayout()> layOutPage) override
    {
        ++requests;
        lastParent = parent;
        lastJobTitle = jobTitle;
        for (int i = 0; i < layoutsPerRequest; ++i)
            layouts.append(layOutPage());
        if (duringPreview)
            duringPreview();
    }

    void previewAndPrintPages(QWidget* parent, const QString& jobTitle, int pageCount,
        std::function<PageLayout(int page)> layOutPage) override
    {
        ++requests;
        lastParent = parent;
        lastJobTitle = jobTitle;
        pageCounts.append(pageCount);
        for (int page = 0; page < pageCount; ++page)
            layouts.append(layOutPage(page));
        if (duringPreview)
            duringPreview();
    }

    int requests = 0;
    QList<int> pageCounts; // of each request for several pages
    int layoutsPerRequest = 2;
    QWidget* lastParent = nullptr;
    QString lastJobTitle;
    QList<PageLayout> layouts;
    // Runs while the "preview" is open (it is modal: a nested event loop).
    std::function<void()> duringPreview;
};

} // namespace itm::test
