#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

namespace itm {

class Form;
struct FormData;

// Page model shared by the three forms, in millimetres.
namespace page {
constexpr double Width = 210.0; // A4 portrait
constexpr double Height = 297.0;
constexpr double BandLeft = 12.7; // left margin
constexpr double BandTop = 10.0; // top margin
constexpr double BandWidth = 184.6; // printable width
constexpr double BandHeight = 278.08;
// A line still prints when it ends this far below its element.
constexpr double LineTolerance = 0.1;
constexpr double MillimetresPerPoint = 25.4 / 72.0;
} // namespace page

// One line of text, in millimetres from the band origin.
struct TextLine
{
    QString text;
    double x = 0; // left end of the line after alignment
    double top = 0;
    double baseline = 0;
    double width = 0; // advance width of the text
};

// An element as it is drawn: its rectangle (auto width applied), whether it
// is first filled white, the black bars of its frame and its lines of text.
struct LaidOutElement
{
    QString name;
    QRectF rect;
    bool whiteFill = false;
    QList<QRectF> bars;
    int fontSize = 10;
    bool bold = false;
    double lineHeight = 0; // ascent + descent of the font
    QList<TextLine> lines; // empty lines are kept (text "")
};

// A page laid out, ready to paint on any device: every position is in
// millimetres from the band origin, which lies at (BandLeft, BandTop) on the
// sheet.
struct PageLayout
{
    QString formName;
    QList<LaidOutElement> elements; // in drawing order

    const LaidOutElement* find(const QString& name) const;
    // Every line of text of the page in drawing order, "" lines left out.
    QStringList texts() const;
};

// Turns a filled form into positioned bars and lines of text. Fields and the
// expression read their values from data now. Bars are at least one device
// pixel thick at targetDpi. Text is measured in Arial (or a metric-compatible
// face); needs a QGuiApplication.
PageLayout LayOutPage(const Form& form, const FormData& data, double targetDpi = 1200);

} // namespace itm
