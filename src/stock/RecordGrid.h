#pragma once

#include "data/RecordsetModel.h"

#include <QTableView>

class QLabel;

// A list over a data control, as the stock screens show them: one row per record of the data
// control's recordset (read on demand), a caption bar over the column headings, and a current
// row shared with the data control. Choosing a row moves the data control there, with the usual
// save of the record being left; a move made elsewhere selects the row it reached. The list is
// read-only: its records are changed through the screen's boxes.
class RecordGrid : public QTableView {
    Q_OBJECT
public:
    RecordGrid(DataControl* source, const QList<RecordsetModel::Column>& columns, QWidget* parent);

    // Places caption bar and list together: the caption takes the top strip of the rectangle.
    void placeTwips(int left, int top, int width, int height);

    void setCaption(const QString& caption);
    QString caption() const;
    QLabel* captionBar() const { return m_caption; }
    RecordsetModel* recordsetModel() const { return m_model; }

    // While rows are held, choosing another row does not move the data control (a record being
    // entered through the screen's boxes stays the current one); the list stays usable to look at.
    void setHoldRow(bool hold) { m_hold = hold; }
    bool holdsRow() const { return m_hold; }

    void setVisible(bool visible) override;

private:
    void showCurrentRow();
    void rowChosen(const QModelIndex& current);

    RecordsetModel* m_model;
    QLabel* m_caption;
    bool m_following = false;   // selecting the row a move reached, not a user's choice
    bool m_hold = false;
};
