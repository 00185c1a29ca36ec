#pragma once

#include <QDialog>
#include <QString>

class QCheckBox;
class QPushButton;

// Guards a destructive command with a tick box carrying the caller's sentence: OK stays
// disabled until the box is ticked, so neither a stray click nor Enter can confirm.
//
// The caller sets `text` after construction and runs the dialog modally; Accepted means
// confirmed, anything else (Cancel, Esc, the close box) refused.
class ConfirmDialog : public QDialog {
    Q_OBJECT
public:
    // Control ids of the template, used as object names ("1041").
    enum ControlId { kOkButton = 1, kCancelButton = 2, kTickBox = 1041 };

    explicit ConfirmDialog(QWidget* parent = nullptr);

    QString text;    // the sentence shown beside the tick box
    int ticked = 0;  // 1 while the box is ticked

    // Runs once, when the dialog is first shown (or when a test calls it first).
    void onInitDialog();
    void onTick();

    QCheckBox* tickBox() const { return tickBox_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QCheckBox* tickBox_;
    bool initialised_ = false;
};
