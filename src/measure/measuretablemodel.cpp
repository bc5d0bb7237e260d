#include "measure/measuretablemodel.h"

#include "widgets/readout.h"

#include <QDateTime>

MeasureTableModel::MeasureTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

int MeasureTableModel::valueColumn(int variable)
{
    static const int kColumns[] = {PVColumn, SVColumn, TVColumn, QVColumn};
    return variable >= 0 && variable < 4 ? kColumns[variable] : -1;
}

int MeasureTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int MeasureTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MeasureTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return text(index.row(), index.column());
    case Qt::TextAlignmentRole:
        if (index.column() == TimeColumn)
            return QVariant();
        if (index.column() == InfoColumn)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return int(Qt::AlignCenter);
    default:
        return QVariant();
    }
}

QVariant MeasureTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return section + 1;
    return m_labels.value(section);
}

Qt::ItemFlags MeasureTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void MeasureTableModel::setHeaderLabels(const QStringList &labels)
{
    m_labels = labels;
    emit headerDataChanged(Qt::Horizontal, 0, ColumnCount - 1);
}

void MeasureTableModel::appendRow(const Row &row)
{
    const int index = rowCount();
    beginInsertRows(QModelIndex(), index, index);
    m_rows.push_back(row);
    endInsertRows();
}

void MeasureTableModel::removeFirstRows(int count)
{
    count = std::min(count, rowCount());
    if (count <= 0)
        return;
    beginRemoveRows(QModelIndex(), 0, count - 1);
    m_rows.erase(m_rows.begin(), m_rows.begin() + count);
    endRemoveRows();
}

void MeasureTableModel::clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

bool MeasureTableModel::hasCell(int rowIndex, int column) const
{
    if (rowIndex < 0 || rowIndex >= rowCount() || column < 0 || column >= ColumnCount)
        return false;
    if (column == CurrentColumn)
        return (row(rowIndex).cells & CurrentCell) != 0;
    if (column == PVColumn)
        return (row(rowIndex).cells & PVCell) != 0;
    if (column < SVColumn)
        return true;
    return (row(rowIndex).cells & (1u << (column - SVColumn + 1))) != 0;
}

QString MeasureTableModel::text(int rowIndex, int column) const
{
    if (!hasCell(rowIndex, column))
        return QString();
    const Row &r = row(rowIndex);
    switch (column) {
    case TimeColumn:
        return timeText(r.time);
    case PVColumn:
        return Readout::text(r.values[0]);
    case CurrentColumn:
        return Readout::text(r.current);
    case StatusColumn:
        return r.status;
    case InfoColumn:
        return r.info;
    default:
        return Readout::text(r.values[column - SVColumn + 1]);
    }
}

QString MeasureTableModel::timeText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}
