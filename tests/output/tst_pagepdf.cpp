#include "output/PagePainter.h"
#include "output/PrintedForms.h"
#include "support/FileSizeLimit.h"
#include "support/SampleRecords.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace samples = itm::test::samples;

using namespace itm;

namespace {

constexpr double MillimetresPerPoint = 25.4 / 72;

struct Word
{
    QString text;
    double left; // mm from the sheet's edges
    double top;
    double right;
};

// Words of every page with their boxes, as poppler's pdftotext reports them.
QList<QList<Word>> pdfWords(const QString& pdf, const QString& html)
{
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), { QStringLiteral("-bbox-layout"), pdf, html });
    tool.waitForFinished(30000);
    QFile file(html);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(file.readAll());
    QList<QList<Word>> pages;
    static const QRegularExpression pattern(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="[\d.]+">([^<]*)</word>)re"));
    auto it = pattern.globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        if (match.captured(0).startsWith(QLatin1String("<page"))) {
            pages.append(QList<Word>());
            continue;
        }
        if (pages.isEmpty())
            continue;
        pages.last().append(Word { match.captured(4), match.captured(1).toDouble() * MillimetresPerPoint,
            match.captured(2).toDouble() * MillimetresPerPoint, match.captured(3).toDouble() * MillimetresPerPoint });
    }
    return pages;
}

const Word* findWord(const QList<Word>& words, const QString& text)
{
    for (const Word& word : words) {
        if (word.text == text)
            return &word;
    }
    return nullptr;
}

} // namespace

class TestPagePdf : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Words land where the layout put them, relative to the band origin at
    // (12.7 mm, 10 mm), within 0.1 mm.
    void wordPositionsInThePdf()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
        QTemporaryDir dir;
        PrintedForms forms;
        samples::PrintRecords monthly;
        samples::PrintRecords bankrupt;
        bankrupt.payer = samples::printedPayer(1);
        const QString pdf = dir.filePath(QStringLiteral("d.pdf"));
        QString error;
        QVERIFY2(WritePdf(pdf,
                     { forms.layOut(PrintedFormChoice::Monthly, monthly.data()),
                         forms.layOut(PrintedFormChoice::Bankruptcy, bankrupt.data()) },
                     &error),
            qPrintable(error));
        const QList<QList<Word>> pages = pdfWords(pdf, dir.filePath(QStringLiteral("d.html")));
        QCOMPARE(pages.size(), 2);

        const Word* initial = findWord(pages.at(0), QStringLiteral("Initiala"));
        QVERIFY(initial);
        QVERIFY(qAbs(initial->left - (12.7 + 135.47)) < 0.1);
        QVERIFY(qAbs(initial->top - (10 + 34.40)) < 0.1);
        const Word* employees = findWord(pages.at(0), QStringLiteral("12"));
        QVERIFY(employees);
        QVERIFY(qAbs(employees->right - (12.7 + 29.90)) < 0.1);
        const Word* title = findWord(pages.at(0), QStringLiteral("DECLARATIE"));
        QVERIFY(title);
        QVERIFY(qAbs((title->left + title->right) / 2 - (12.7 + 184.41 / 2)) < 0.1);
        QVERIFY(qAbs(title->top - (10 + 39.16)) < 0.1);

        const Word* due = findWord(pages.at(1), QStringLiteral("150"));
        QVERIFY(due);
        QVERIFY(qAbs(due->right - (12.7 + 182.30)) < 0.1);
        const Word* state = findWord(pages.at(1), QStringLiteral("Stare"));
        QVERIFY(state);
        QVERIFY(qAbs(state->left - (12.7 + 2.12)) < 0.1);
        QVERIFY(qAbs(state->top - (10 + 103.71)) < 0.1);
        QVERIFY(findWord(pages.at(1), QStringLiteral("Da")));
    }

    void unwritablePdfIsReported()
    {
        PrintedForms forms;
        samples::PrintRecords records;
        QString error;
        QVERIFY(!WritePdf(QStringLiteral("/nonexistent-folder/d.pdf"),
            { forms.layOut(PrintedFormChoice::Monthly, records.data()) }, &error));
        QVERIFY(error.contains(QStringLiteral("/nonexistent-folder/d.pdf")));
        QVERIFY(!WritePdf(QStringLiteral("/tmp/never.pdf"), {}, &error));
    }

    // A medium that fills up while the pages are written keeps the old file
    // whole, and nothing is left beside it.
    void aFullMediumLeavesTheOldFileWhole_data()
    {
        QTest::addColumn<bool>("png");
        QTest::newRow("pdf") << false;
        QTest::newRow("png") << true;
    }
    void aFullMediumLeavesTheOldFileWhole()
    {
        QFETCH(bool, png);
        QTemporaryDir dir;
        const QString target = dir.filePath(png ? QStringLiteral("old.png") : QStringLiteral("old.pdf"));
        const QByteArray old(3000, 'o');
        {
            QFile file(target);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(old) == old.size());
        }
        PrintedForms forms;
        samples::PrintRecords records;
        const PageLayout page = forms.layOut(PrintedFormChoice::Monthly, records.data());
        bool written = true;
        QString error;
        {
            test::FileSizeLimit limit(4096);
            QVERIFY(limit.isActive());
            written = png ? RenderPng(target, page, 150, &error) : WritePdf(target, { page, page, page }, &error);
        }
        QVERIFY(!written);
        QVERIFY2(error.contains(target), qPrintable(error));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QFileInfo(target).fileName() });
    }

    // The image spans the sheet; bars and text land at their places.
    void pngOfTheSheet()
    {
        QTemporaryDir dir;
        PrintedForms forms;
        samples::PrintRecords records;
        const QString png = dir.filePath(QStringLiteral("p.png"));
        QVERIFY(RenderPng(png, forms.layOut(PrintedFormChoice::Monthly, records.data()), 150));
        const QImage image(png);
        QCOMPARE(image.size(), QSize(1240, 1754));
        const auto pixel = [&](double xMm, double yMm) {
            return QColor(image.pixel(qRound(xMm / 25.4 * 150), qRound(yMm / 25.4 * 150)));
        };
        // The top side of the frame of section A, 2 pt thick.
        QVERIFY(pixel(12.7 + 100, 10 + 70.38 + 0.35).lightness() < 60);
        // Just above it: the white background.
        QVERIFY(pixel(12.7 + 100, 10 + 70.38 - 0.5).lightness() > 200);
        // The margins stay white.
        QVERIFY(pixel(5, 5).lightness() > 250);
        QVERIFY(pixel(205, 290).lightness() > 250);
    }
};

QTEST_MAIN(TestPagePdf)
#include "tst_pagepdf.moc"
