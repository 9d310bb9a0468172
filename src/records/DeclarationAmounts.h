#pragma once

#include <QString>
#include <QVariant>
#include <QtGlobal>

namespace itm {

class Statement;

// A whole-number column of a declaration row; a text that is no whole number
// raises NumberColumnError naming the column.
qint64 DeclarationAmount(const Statement& row, int column, const QString& name);

// The salary fund as a number's text: a real as stored, a text through the
// strict conversion, so that nothing but a number leaves the history.
QString SalaryFundText(const QVariant& fund);

} // namespace itm
