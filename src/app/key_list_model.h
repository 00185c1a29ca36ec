#pragma once

#include <QAbstractTableModel>

#include "key_list.h"
#include "memory_image.h"

// The key list's rows as a view model: ID, comment, key. Rows are rendered on demand from
// the image, so a full image of 4360 records is shown without creating an item per row.
class KeyListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    KeyListModel(const KeyList& keys, const MemoryImage& image, const int& recordSize, QObject* parent = nullptr);

    // Called after the key list was rebuilt from the image.
    void reset();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    static QString idText(int record);
    QString commentText(int row) const;
    QString keyText(int row) const;

private:
    const KeyList& keys_;
    const MemoryImage& image_;
    const int& recordSize_;
};
