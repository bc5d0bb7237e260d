#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <deque>

// The value table of the measurements page: one row per polling response, kept as numbers and
// shown as text. It always has its eight columns; the page hides those its mode does not show.
// Rows leave from the front when the table is capped, in constant time.
class MeasureTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { TimeColumn, PVColumn, CurrentColumn, StatusColumn, InfoColumn, SVColumn, TVColumn, QVColumn,
                  ColumnCount };
    // Value index of the variables: PV, SV, TV, QV (also the plot's curve ids).
    static int valueColumn(int variable);

    static constexpr quint8 CurrentCell = 1;
    static constexpr quint8 PVCell = 16;

    struct Row
    {
        qint64 time = 0;          // seconds since 1970-01-01 UTC
        float values[4] = {};     // PV, SV, TV, QV as shown (rounded to two decimals)
        float current = 0;
        quint8 cells = 0;         // bit 1 << variable for SV, TV, QV when the row has that cell;
                                  // CurrentCell and PVCell when the read measured them
        bool runStart = false;    // a row of a polling run up to its first that measured a variable
        QString status;
        QString info;
    };

    explicit MeasureTableModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setHeaderLabels(const QStringList &labels);
    void appendRow(const Row &row);
    void removeFirstRows(int count);
    void clear();

    const Row &row(int index) const { return m_rows[std::size_t(index)]; }
    // True when the row has a cell in the column (the variable columns only when it was shown).
    bool hasCell(int rowIndex, int column) const;
    // The cell's text as shown; empty where the row has no cell.
    QString text(int rowIndex, int column) const;

    static QString timeText(qint64 seconds);

private:
    std::deque<Row> m_rows;
    QStringList m_labels;
};
