#pragma once

#include <QDialog>

#include <map>

#include "dialog.h"
#include "window.h"

class QMenu;
class QtLogBox;
class QTreeView;
class ReportListModel;
class WindowTimers;

// A dialog's window on Qt widgets: built from the dialog's template (each control's object
// name is its id, "1004"), every signal and event of it forwarded to the dialog's one event
// entry, and the dialog's calls on its window carried out. It holds no step of logic.
// Message boxes, file dialogs, the shell and the clock go through Desktop, modal runs
// through Desktop::runModal.
class QtDialogWindow : public QDialog, public Window {
    Q_OBJECT
public:
    explicit QtDialogWindow(Dialog& dialog, QWidget* parent = nullptr);
    ~QtDialogWindow() override;

    Dialog& dialog() const { return dialog_; }
    QWidget* control(int id) const;
    WindowTimers& timers() { return *timers_; }

    // The widget's own, beside the Window's by control id.
    using QDialog::hasFocus;
    using QDialog::isEnabled;
    using QDialog::isVisible;
    using QDialog::setEnabled;
    using QDialog::setFocus;
    using QDialog::setVisible;

    // Window.
    std::string text(int id) const override;
    void setText(int id, std::string_view text) override;
    bool isEnabled(int id) const override;
    void setEnabled(int id, bool enabled) override;
    bool isVisible(int id) const override;
    void setVisible(int id, bool visible) override;
    bool isChecked(int id) const override;
    void setChecked(int id, bool checked) override;
    void setFocus(int id) override;
    bool hasFocus(int id) const override;
    void logLinePrepended(int id, std::string_view line) override;
    void logMarkPrepended(int id, std::string_view mark) override;
    void rowsChanged(int id) override;
    void setRowSelected(int id, int row, bool selected) override;
    std::vector<int> selectedRows(int id) const override;
    void paintNow() override;
    int startTimer(int id, int periodMs) override;
    void stopTimer(int id) override;
    int runModal(Dialog& dialog) override;
    void endDialog(int result) override;
    Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons) override;
    std::string openFileName(const FileFilter& filter) override;
    std::string saveFileName(const FileFilter& filter) override;
    void openExternal(std::string_view fileOrUrl) override;
    LocalTime localTime() override;

    // QDialog: Enter on the default button, Esc and the close box reach the dialog as its
    // commands; a run ended from outside (a test, the program's end) still ends the dialog.
    void accept() override;
    void reject() override;
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void send(Dialog::Event event);
    void command(int id, Dialog::Notification notification);
    // Marks waiting for the log boxes are shown before a modal box or run covers them.
    void showPendingLog();
    void showMenu(const QPoint& globalPosition, QMenu* menu);

    Dialog& dialog_;
    WindowTimers* timers_;
    std::map<int, QWidget*> controls_;
    std::map<int, QtLogBox*> logBoxes_;
    std::map<int, std::pair<QTreeView*, ReportListModel*>> lists_;
    bool started_ = false;
    bool ended_ = false;
};
