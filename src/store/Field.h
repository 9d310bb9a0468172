#pragma once

#include "store/ColumnType.h"

#include <QString>
#include <QVariant>

namespace itm {

class Dataset;

// One column of the current row (or of the edit buffer while editing),
// addressed by name.
class Field
{
public:
    Field(Dataset* dataset, int index)
        : m_dataset(dataset)
        , m_index(index)
    {
    }
    QString name() const;
    ColumnType type() const;
    int size() const; // maximum length of a text column, 0 when it has none

    QVariant AsVariant() const;
    QString AsString() const; // also the display and edit text
    qint64 AsInteger() const;
    double AsFloat() const;
    bool IsNull() const;

    // Writing into an integer or real column: an empty text clears it, a text
    // that is no number raises ConversionError.
    void setAsString(const QString& text) const;
    void setAsInteger(qint64 value) const;
    void setAsFloat(double value) const;
    void setAsVariant(const QVariant& value) const;

private:
    Dataset* m_dataset;
    int m_index;
};

} // namespace itm
