#include "key_list_model.h"

#include "code_page_1250.h"
#include "key_record.h"

KeyListModel::KeyListModel(const KeyList& keys, const MemoryImage& image, const int& recordSize, QObject* parent)
    : QAbstractTableModel(parent), keys_(keys), image_(image), recordSize_(recordSize) {}

void KeyListModel::reset() {
    beginResetModel();
    endResetModel();
}

int KeyListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : keys_.rowCount(); }

int KeyListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 3; }

QString KeyListModel::idText(int record) { return QString::number(record); }

QString KeyListModel::commentText(int row) const {
    return QString::fromStdString(cp1250ToUtf8(listComment(image_, keys_.recordOfRow(row), recordSize_)));
}

QString KeyListModel::keyText(int row) const {
    const KeyCode key = keyCodeOf(image_, keys_.recordOfRow(row), recordSize_);
    return QString::fromStdString(cp1250ToUtf8(keyCodeText(key, ZeroBytes::Skip)));
}

QVariant KeyListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case 0:
            return idText(keys_.recordOfRow(index.row()));
        case 1:
            return commentText(index.row());
        case 2:
            return keyText(index.row());
    }
    return {};
}

QVariant KeyListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return {};
    }
    static const char* const titles[] = {"ID:", "Komentář:", "Klíč:"};
    return section >= 0 && section < 3 ? QString::fromUtf8(titles[section]) : QVariant();
}
