#include "stock/RecordGrid.h"

#include "data/DbError.h"
#include "platform/Prompts.h"
#include "platform/Twips.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>

namespace {

constexpr int CaptionTwips = 270;

}  // namespace

RecordGrid::RecordGrid(DataControl* source, const QList<RecordsetModel::Column>& columns, QWidget* parent)
    : QTableView(parent)
    , m_model(new RecordsetModel(source, this))
{
    m_model->setColumns(columns);
    setModel(m_model);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    verticalHeader()->setDefaultSectionSize(twipsToPx(255));
    verticalHeader()->setMinimumWidth(twipsToPx(240));
    horizontalHeader()->setStretchLastSection(true);

    // The caption bar: white bold text on dark grey, as list captions have always looked. Its
    // colours are its own; a window colour does not reach it.
    m_caption = new QLabel(parent);
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setAutoFillBackground(true);
    QPalette p = m_caption->palette();
    p.setColor(QPalette::Window, QColor(128, 128, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    m_caption->setPalette(p);
    QFont f = font();
    f.setBold(true);
    m_caption->setFont(f);

    connect(m_model, &RecordsetModel::currentRowChanged, this, &RecordGrid::showCurrentRow);
    connect(m_model, &QAbstractItemModel::modelReset, this, &RecordGrid::showCurrentRow);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { rowChosen(current); });
}

void RecordGrid::placeTwips(int left, int top, int width, int height)
{
    ::placeTwips(m_caption, left, top, width, CaptionTwips);
    ::placeTwips(this, left, top + CaptionTwips, width, height - CaptionTwips);
}

void RecordGrid::setCaption(const QString& caption)
{
    m_caption->setText(caption);
}

QString RecordGrid::caption() const
{
    return m_caption->text();
}

void RecordGrid::setVisible(bool visible)
{
    QTableView::setVisible(visible);
    m_caption->setVisible(visible);
}

void RecordGrid::showCurrentRow()
{
    const int row = m_model->currentRow();
    m_following = true;
    if (row >= 0 && row < m_model->rowCount()) {
        const QModelIndex at = m_model->index(row, 0);
        selectionModel()->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(at);
    } else {
        selectionModel()->clearSelection();
    }
    m_following = false;
}

void RecordGrid::rowChosen(const QModelIndex& current)
{
    if (m_following || !current.isValid())
        return;
    if (m_hold) {
        showCurrentRow();
        return;
    }
    try {
        m_model->moveTo(current.row());
    } catch (const DbError& e) {
        MsgBox(e.text(), 48);
    }
    // The list shows where the record really is (the move may have been refused).
    if (m_model->currentRow() != current.row())
        showCurrentRow();
}
