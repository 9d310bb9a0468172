#pragma once

#include "widgets/FieldLink.h"

#include <QCheckBox>

namespace itm {

// A check box bound to a 0/1 column: ticked writes "1", cleared "0"; a column
// without a value shows the box greyed.
class DbCheckBox : public QCheckBox, public BoundControl
{
    Q_OBJECT
    Q_INTERFACES(itm::BoundControl)
public:
    explicit DbCheckBox(const QString& caption, QWidget* parent = nullptr);

    void setDataSource(DataSource* source) { m_link.setDataSource(source); }
    void setDataField(const QString& name) { m_link.setFieldName(name); }
    FieldLink& link() override { return m_link; }

protected:
    void nextCheckState() override;

private:
    void showField();

    FieldLink m_link;
    bool m_displaying = false;
};

} // namespace itm
