#pragma once

#include <span>
#include <string>
#include <type_traits>

#include "dialog_template.h"

class Window;

// The logic of one dialog, free of any toolkit. A front-end builds the window from
// dialogTemplate(), forwards every event of it to handleEvent() and nothing else; the
// dialog answers through the Window it is handed.
class Dialog {
public:
    // Results of a modal run, which are also the ids of the OK and Cancel buttons: Enter
    // presses the default button, Esc is a click of kCancel, whether the dialog has one.
    static constexpr int kOk = 1, kCancel = 2;

    enum class Notification { Clicked, DoubleClicked, FocusGained, FocusLost, Edited, KeyDown };

    struct Event {
        enum class Kind {
            Init,        // the window was created and is about to be shown
            Command,     // a control's notification
            Timer,       // a tick of the window's timer `id`
            SysCommand,  // a command of the system menu
            Close,       // the close box, Alt+F4
            Destroy,     // the window is going away; the last event of a run
        };
        Kind kind;
        int id = 0;
        Notification notification = Notification::Clicked;
    };

    explicit Dialog(const DialogTemplate& dialogTemplate) : template_(dialogTemplate) {}
    virtual ~Dialog() = default;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    const DialogTemplate& dialogTemplate() const { return template_; }

    // The one entry of every event. Init runs the dialog's start-up once per modal run,
    // however often a front-end sends it (a restored window is not a new run).
    void handleEvent(Window& window, const Event& event);

    // The rows of a report list, read by the window on demand.
    virtual int rowCount(int listId) const;
    virtual std::string cellText(int listId, int row, int column) const;

protected:
    Window& window() const { return *window_; }

    virtual void onInitDialog() {}
    // Not routed: ignored.
    virtual void onCommand(int controlId, Notification notification);
    virtual void onTimer(int /*timerId*/) {}
    virtual void onSysCommand(int /*command*/) {}
    // The close box: as Cancel.
    virtual void onClose() { onCommand(kCancel, Notification::Clicked); }
    virtual void onDestroy() {}

    // Ends the modal run with a result.
    void endDialog(int result);
    // From the start of the modal run until the window is destroyed.
    bool isRunning() const { return running_; }

private:
    const DialogTemplate& template_;
    Window* window_ = nullptr;
    bool running_ = false;
};

// A dialog's table from a control's notification to its handler.
template <class D>
struct CommandRoute {
    int controlId;
    Dialog::Notification notification;
    void (D::*handler)();
};

// Calls the handler the table routes the notification to; false when none.
template <class D>
bool routeCommand(D& dialog, std::span<const CommandRoute<std::type_identity_t<D>>> table, int controlId,
                  Dialog::Notification notification) {
    for (const CommandRoute<D>& route : table) {
        if (route.controlId == controlId && route.notification == notification) {
            (dialog.*route.handler)();
            return true;
        }
    }
    return false;
}
