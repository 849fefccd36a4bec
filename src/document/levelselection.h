#pragma once
// The level both windows show and the records selected in it. The object list shows one record
// (current()); the map shows them all. Steps that add, remove or move records select where the
// records are afterwards, so the selection follows records whose offsets shifted.

#include <QObject>
#include <QVector>

class LevelSelection : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // The level row shown, or -1.
    int level() const { return m_level; }
    // The selected records' offsets, ascending.
    const QVector<qint64> &records() const { return m_records; }
    // The record the object list shows, or -1.
    qint64 current() const { return m_current; }
    bool contains(qint64 offset) const { return m_records.contains(offset); }

    // A level listed (again): nothing is selected in it yet.
    void showLevel(int row);
    // Selects `records` (duplicates dropped); `current` must be among them, else the first is.
    void select(QVector<qint64> records, qint64 current = -1);

  signals:
    void levelShown(int row);
    void selectionChanged();

  private:
    int m_level = -1;
    QVector<qint64> m_records;
    qint64 m_current = -1;
};
