#pragma once

#include <QDialog>

// The About box of the system menu: the icon, the program's name and version, the maker.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};
