#include "payers/UniformRowListView.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QWheelEvent>

using namespace itm;

namespace {

// A list of numbered rows that notes which rows anything asked about.
class CountingModel : public QAbstractListModel
{
public:
    explicit CountingModel(int rows)
        : m_rows(rows)
    {
    }
    int rowCount(const QModelIndex& parent = QModelIndex()) const override { return parent.isValid() ? 0 : m_rows; }
    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override
    {
        ++indexCalls;
        return QAbstractListModel::index(row, column, parent);
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return QVariant();
        rowsRead.insert(index.row());
        return QStringLiteral("%1").arg(index.row(), 7, 10, QLatin1Char('0'));
    }

    mutable int indexCalls = 0;
    mutable QSet<int> rowsRead;

private:
    int m_rows;
};

struct ShownList
{
    CountingModel model;
    UniformRowListView view;

    explicit ShownList(int rows)
        : model(rows)
    {
        view.setModel(&model);
        view.setGeometry(100, 100, 200, 120);
        view.show();
        QApplication::setActiveWindow(&view);
        view.setFocus();
    }
    int current() const { return view.currentIndex().row(); }
    void makeCurrent(int row) { view.setCurrentIndex(model.index(row)); }
    bool inSight(int row) const { return view.viewport()->rect().contains(view.visualRect(model.index(row))); }
};

} // namespace

class TestUniformRowList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // However long the list, showing it, moving far into it and painting it
    // touch only the rows in sight.
    void onlyTheRowsInSightAreRead()
    {
        ShownList f(1000000);
        QVERIFY(QTest::qWaitForWindowExposed(&f.view));
        f.makeCurrent(654321);
        f.model.rowsRead.clear();
        f.view.grab();
        QVERIFY(f.inSight(654321));
        QVERIFY(f.model.rowsRead.contains(654321));
        QVERIFY(f.model.rowsRead.size() <= f.view.rowsInSight() + 2);
        QVERIFY2(f.model.indexCalls < 1000, qPrintable(QString::number(f.model.indexCalls)));
        // The scroll bar counts rows: at its end the last row is the last one in sight.
        QCOMPARE(f.view.verticalScrollBar()->maximum(), 1000000 - f.view.rowsInSight());
    }

    // The keys move the current row within the list and keep it in sight.
    void keysMoveTheCurrentRow_data()
    {
        // clang-format off
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("expected");
        QTest::newRow("Down") << 10 << int(Qt::Key_Down) << 11;
        QTest::newRow("Down on the last row") << 999 << int(Qt::Key_Down) << 999;
        QTest::newRow("Up on the first row") << 0 << int(Qt::Key_Up) << 0;
        QTest::newRow("End") << 5 << int(Qt::Key_End) << 999;
        QTest::newRow("Home") << 500 << int(Qt::Key_Home) << 0;
        QTest::newRow("Page Down near the end") << 998 << int(Qt::Key_PageDown) << 999;
        QTest::newRow("Page Up near the start") << 1 << int(Qt::Key_PageUp) << 0;
        // clang-format on
    }
    void keysMoveTheCurrentRow()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, expected);
        ShownList f(1000);
        f.makeCurrent(start);
        QTest::keyClick(&f.view, Qt::Key(key));
        QCOMPARE(f.current(), expected);
        QVERIFY(f.view.selectionModel()->isSelected(f.model.index(expected)));
        QVERIFY(f.inSight(expected));
    }

    // A page moves by the rows in sight less one: the row that was last in
    // sight is the first one after the list scrolls.
    void aPageKeepsOneRowInSight()
    {
        ShownList f(1000);
        f.makeCurrent(0);
        const int page = f.view.rowsInSight() - 1;
        QVERIFY(page > 0);
        QTest::keyClick(&f.view, Qt::Key_PageDown);
        QCOMPARE(f.current(), page);
        QTest::keyClick(&f.view, Qt::Key_PageDown);
        QCOMPARE(f.current(), 2 * page);
        QCOMPARE(f.view.verticalScrollBar()->value(), page);
    }

    // After the wheel has scrolled, a click chooses the row under the mouse.
    void theWheelScrollsAndAClickChooses()
    {
        ShownList f(1000);
        f.makeCurrent(500);
        const int top = f.view.verticalScrollBar()->value();
        const QPoint middle = f.view.viewport()->rect().center();
        QWheelEvent wheel(middle, f.view.viewport()->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f.view.viewport(), &wheel);
        QCOMPARE(f.view.verticalScrollBar()->value(), top + QApplication::wheelScrollLines());
        const int clicked = f.view.verticalScrollBar()->value() + 1;
        QTest::mouseClick(f.view.viewport(), Qt::LeftButton, {}, f.view.visualRect(f.model.index(clicked)).center());
        QCOMPARE(f.current(), clicked);
        QCOMPARE(f.view.indexAt(f.view.visualRect(f.model.index(clicked)).topLeft()).row(), clicked);
    }
};

QTEST_MAIN(TestUniformRowList)
#include "tst_uniformrowlist.moc"
