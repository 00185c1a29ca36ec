#include "qt_dialog_window.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeView>

#include <algorithm>
#include <memory>

#include "app_icon.h"
#include "code_page_1250.h"
#include "desktop.h"
#include "dialog_units.h"
#include "qt_log_box.h"
#include "report_list_model.h"
#include "report_list_view.h"
#include "window_timers.h"

namespace {

QString shown(std::string_view cp1250) {
    return QString::fromStdString(cp1250ToUtf8(cp1250));
}

std::string unitText(const QString& text) {
    return utf8ToCp1250(text.toStdString());
}

bool dialogKey(int key) {
    switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            return true;
        default:
            return false;
    }
}

}  // namespace

QtDialogWindow::QtDialogWindow(Dialog& dialog, QWidget* parent)
    : QDialog(parent),
      dialog_(dialog),
      timers_(new WindowTimers(
          [this](int id) {
              send({Dialog::Event::Kind::Timer, id});
          },
          this)) {
    createControls();
}

QtDialogWindow::~QtDialogWindow() {
    if (started_ && !ended_) {
        ended_ = true;
        send({Dialog::Event::Kind::Destroy});
    }
}

void QtDialogWindow::createControls() {
    const DialogTemplate& t = dialog_.dialogTemplate();
    setWindowTitle(shown(t.caption));
    setWindowIcon(appIcon());
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    if (t.minimizeBox) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    setWindowFlags(flags);
    setFont(QFont(shown(t.fontFace), t.fontPointSize));
    const DialogUnits du(this);
    setFixedSize(du.toPixels(t.width, t.height));

    for (const ControlTemplate& c : t.controls) {
        const QString text = shown(c.text);
        QWidget* widget = nullptr;
        switch (c.kind) {
            case ControlKind::Button: {
                auto* button = new QPushButton(text, this);
                button->setDefault(c.has(control_style::kDefault));
                connect(button, &QPushButton::clicked, this,
                        [this, id = c.id] { command(id, Dialog::Notification::Clicked); });
                widget = button;
                break;
            }
            case ControlKind::Static: {
                auto* label = new QLabel(text, this);
                label->setTextFormat(Qt::PlainText);
                if (c.has(control_style::kCentered)) {
                    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
                }
                widget = label;
                break;
            }
            case ControlKind::Icon: {
                auto* icon = new QLabel(this);
                icon->setPixmap(appIcon().pixmap(32, 32));
                icon->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                widget = icon;
                break;
            }
            case ControlKind::Edit: {
                auto* edit = new QLineEdit(text, this);
                if (c.has(control_style::kPassword)) {
                    edit->setEchoMode(QLineEdit::Password);
                }
                if (c.has(control_style::kCentered)) {
                    edit->setAlignment(Qt::AlignCenter);
                }
                connect(edit, &QLineEdit::textEdited, this,
                        [this, id = c.id] { command(id, Dialog::Notification::Edited); });
                edit->installEventFilter(this);
                widget = edit;
                break;
            }
            case ControlKind::LogBox: {
                auto* box = new QtLogBox(this);
                box->setContextMenuPolicy(Qt::CustomContextMenu);
                connect(box, &QtLogBox::customContextMenuRequested, this,
                        [this, box](const QPoint& position) {
                            showMenu(box->viewport()->mapToGlobal(position),
                                     box->createStandardContextMenu(position));
                        });
                logBoxes_[c.id] = box;
                widget = box;
                break;
            }
            case ControlKind::CheckBox:
            case ControlKind::RadioButton: {
                QAbstractButton* box = c.kind == ControlKind::CheckBox
                                           ? static_cast<QAbstractButton*>(new QCheckBox(text, this))
                                           : new QRadioButton(text, this);
                connect(box, &QAbstractButton::clicked, this,
                        [this, id = c.id] { command(id, Dialog::Notification::Clicked); });
                widget = box;
                break;
            }
            case ControlKind::GroupBox:
                widget = new QGroupBox(text, this);
                break;
            case ControlKind::ReportList: {
                auto* model = new ReportListModel(dialog_, c.id, c.columns, this);
                auto* view = new ReportListView(this);
                view->setModel(model);
                for (std::size_t k = 0; k < c.columns.size(); ++k) {
                    view->setColumnWidth(static_cast<int>(k), c.columns[k].width);
                }
                connect(view, &ReportListView::listClicked, this,
                        [this, id = c.id] { command(id, Dialog::Notification::Clicked); });
                connect(view, &ReportListView::listDoubleClicked, this,
                        [this, id = c.id] { command(id, Dialog::Notification::DoubleClicked); });
                view->installEventFilter(this);
                lists_[c.id] = {view, model};
                widget = view;
                break;
            }
        }
        widget->setObjectName(QString::number(c.id));
        du.place(widget, c.x, c.y, c.width, c.height);
        widget->setVisible(!c.has(control_style::kHidden));
        widget->setEnabled(!c.has(control_style::kDisabled));
        if (c.has(control_style::kNoTabStop)) {
            widget->setFocusPolicy(Qt::ClickFocus);
        }
        if (c.kind == ControlKind::GroupBox) {
            widget->lower();  // the frame lies below the controls inside it
        }
        controls_[c.id] = widget;
    }
}

QWidget* QtDialogWindow::control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void QtDialogWindow::send(Dialog::Event event) {
    dialog_.handleEvent(*this, event);
}

void QtDialogWindow::command(int id, Dialog::Notification notification) {
    if (!ended_) {
        send({Dialog::Event::Kind::Command, id, notification});
    }
}

// --- Window: controls -------------------------------------------------------------------

std::string QtDialogWindow::text(int id) const {
    QWidget* w = control(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return unitText(edit->text());
    }
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        return unitText(button->text());
    }
    if (auto* label = qobject_cast<QLabel*>(w)) {
        return unitText(label->text());
    }
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
        return unitText(group->title());
    }
    return {};
}

void QtDialogWindow::setText(int id, std::string_view text) {
    QWidget* w = control(id);
    const QString s = shown(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(s);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(s);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(s);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(s);
    }
}

bool QtDialogWindow::isEnabled(int id) const {
    return control(id)->isEnabled();
}

void QtDialogWindow::setEnabled(int id, bool enabled) {
    control(id)->setEnabled(enabled);
}

// Whether the control is meant to be shown, also while the window itself is not.
bool QtDialogWindow::isVisible(int id) const {
    return !control(id)->isHidden();
}

void QtDialogWindow::setVisible(int id, bool visible) {
    control(id)->setVisible(visible);
}

bool QtDialogWindow::isChecked(int id) const {
    auto* box = qobject_cast<QAbstractButton*>(control(id));
    return box != nullptr && box->isChecked();
}

void QtDialogWindow::setChecked(int id, bool checked) {
    if (auto* box = qobject_cast<QAbstractButton*>(control(id))) {
        box->setChecked(checked);
    }
}

void QtDialogWindow::setFocus(int id) {
    QWidget* w = control(id);
    w->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->selectAll();
    }
}

bool QtDialogWindow::hasFocus(int id) const {
    return control(id)->hasFocus();
}

// --- Window: log box and report list ----------------------------------------------------

void QtDialogWindow::logLinePrepended(int id, std::string_view line) {
    logBoxes_.at(id)->prependLine(shown(line));
}

void QtDialogWindow::logMarkPrepended(int id, std::string_view mark) {
    logBoxes_.at(id)->prependMark(shown(mark));
}

void QtDialogWindow::showPendingLog() {
    for (const auto& [id, box] : logBoxes_) {
        box->showPendingMarks();
    }
}

void QtDialogWindow::rowsChanged(int id) {
    lists_.at(id).second->reset();
}

void QtDialogWindow::setRowSelected(int id, int row, bool selected) {
    auto [view, model] = lists_.at(id);
    if (row < 0 || row >= model->rowCount()) {
        return;
    }
    QItemSelectionModel* selection = view->selectionModel();
    const QModelIndex index = model->index(row, 0);
    if (selected) {
        selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        view->scrollTo(index, QAbstractItemView::EnsureVisible);
    } else {
        selection->select(index, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
        if (selection->currentIndex().row() == row) {
            selection->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
        }
    }
}

std::vector<int> QtDialogWindow::selectedRows(int id) const {
    std::vector<int> rows;
    for (const QModelIndex& index : lists_.at(id).first->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

// --- Window: timers, modal runs and the desktop -----------------------------------------

void QtDialogWindow::paintNow() {
    showPendingLog();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int QtDialogWindow::startTimer(int id, int periodMs) {
    return timers_->start(id, periodMs);
}

void QtDialogWindow::stopTimer(int id) {
    timers_->stop(id);
}

int QtDialogWindow::runModal(Dialog& dialog) {
    showPendingLog();
    QtDialogWindow window(dialog, this);
    return Desktop::current().runModal(window);
}

void QtDialogWindow::endDialog(int result) {
    done(result);
}

Window::Answer QtDialogWindow::messageBox(std::string_view text, std::string_view caption, Buttons buttons) {
    showPendingLog();
    return Desktop::current().messageBox(this, shown(text), shown(caption), buttons);
}

std::string QtDialogWindow::openFileName(const FileFilter& filter) {
    showPendingLog();
    return Desktop::current().openFileName(this, filter).toStdString();
}

std::string QtDialogWindow::saveFileName(const FileFilter& filter) {
    showPendingLog();
    return Desktop::current().saveFileName(this, filter).toStdString();
}

void QtDialogWindow::openExternal(std::string_view fileOrUrl) {
    Desktop::current().openExternal(QString::fromStdString(std::string(fileOrUrl)));
}

Window::LocalTime QtDialogWindow::localTime() {
    return Desktop::current().localTime();
}

// --- Qt's events ------------------------------------------------------------------------

void QtDialogWindow::accept() {
    command(Dialog::kOk, Dialog::Notification::Clicked);
}

void QtDialogWindow::reject() {
    command(Dialog::kCancel, Dialog::Notification::Clicked);
}

void QtDialogWindow::done(int result) {
    QDialog::done(result);
    if (started_ && !ended_) {
        ended_ = true;
        timers_->stopAll();
        send({Dialog::Event::Kind::Destroy});
    }
}

void QtDialogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!started_ || ended_) {
        // A window shown again after its run ended starts a new run.
        started_ = true;
        ended_ = false;
    }
    // The dialog runs its start-up once per run, also when a minimised window is restored.
    send({Dialog::Event::Kind::Init});
}

void QtDialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!ended_) {
        send({Dialog::Event::Kind::Close});
    }
}

// The desktop's window menu is not ours to extend on every platform, so the system menu's
// item sits in the window's own context menu, and in the log box's, which fills the window
// and shadows the window's menu with its own.
void QtDialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    showMenu(event->globalPos(), new QMenu(this));
}

void QtDialogWindow::showMenu(const QPoint& globalPosition, QMenu* menu) {
    const std::unique_ptr<QMenu> owned(menu);
    const SystemMenuItem& item = dialog_.dialogTemplate().systemMenuItem;
    if (item.command == 0) {
        if (!menu->isEmpty()) {
            menu->exec(globalPosition);
        }
        return;
    }
    menu->addSeparator();
    menu->addAction(shown(item.text), this, [this, command = item.command] {
        send({Dialog::Event::Kind::SysCommand, command});
    });
    menu->exec(globalPosition);
}

bool QtDialogWindow::eventFilter(QObject* watched, QEvent* event) {
    const int id = watched->objectName().toInt();
    const bool isList = qobject_cast<QTreeView*>(watched) != nullptr;
    switch (event->type()) {
        case QEvent::FocusIn:
            command(id, Dialog::Notification::FocusGained);
            break;
        case QEvent::FocusOut: {
            // A message box or another window taking over leaves the focus where it was;
            // only moving on inside the dialog counts as leaving the control.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                command(id, Dialog::Notification::FocusLost);
            }
            break;
        }
        case QEvent::KeyPress:
            // Tab, Enter and Escape move on or end the dialog; on Windows the list never
            // sees them.
            if (isList && !dialogKey(static_cast<QKeyEvent*>(event)->key())) {
                command(id, Dialog::Notification::KeyDown);
            }
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}
