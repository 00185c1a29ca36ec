#include "report_list_model.h"

#include "code_page_1250.h"
#include "dialog.h"

namespace {

QString shown(std::string_view cp1250) {
    return QString::fromStdString(cp1250ToUtf8(cp1250));
}

}  // namespace

ReportListModel::ReportListModel(const Dialog& dialog, int listId, std::span<const ListColumn> columns,
                                 QObject* parent)
    : QAbstractTableModel(parent), dialog_(dialog), listId_(listId), columns_(columns) {}

void ReportListModel::reset() {
    beginResetModel();
    endResetModel();
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dialog_.rowCount(listId_);
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) {
        return {};
    }
    return shown(dialog_.cellText(listId_, index.row(), index.column()));
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= static_cast<int>(columns_.size())) {
        return {};
    }
    return shown(columns_[static_cast<std::size_t>(section)].heading);
}
