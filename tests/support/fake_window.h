#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dialog.h"
#include "window.h"

// What the fake windows of one test share: the desktop around them. Message boxes are
// recorded and answered at once, modal runs go to a handler, the file dialogs take the next
// queued path, the shell's "open" is recorded, the clock stands still, and timers whose id
// is in refusedTimers are refused by every window.
struct FakeScreen {
    struct Box {
        std::string text;
        std::string caption;
        Window::Buttons buttons;
    };

    std::vector<Box> boxes;
    std::function<void(const std::string&)> onBox;  // called as each box is shown
    std::deque<Window::Answer> yesNoAnswers;        // answers to Yes/No questions, in turn
    Window::Answer unscriptedAnswer = Window::Answer::No;
    std::set<int> refusedTimers;
    std::deque<std::string> fileAnswers;  // paths the file dialogs return; empty = cancelled
    std::vector<Window::FileFilter> fileFilters;
    std::vector<std::string> opened;
    Window::LocalTime time{2026, 12, 7, 10, 30, 15};
    int modalRuns = 0;

    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const Box& b : boxes) {
            texts.push_back(b.text);
        }
        return texts;
    }
};

// A window without a toolkit for the dialogs' logic: every control of the template keeps its
// text, enabled, visible and checked state; the test sends the events a user or the system
// would. A modal run of another dialog gets a window of its own, is started, and is handed
// to modalHandler, which acts in it; a run the handler left open ends with its answer.
class FakeWindow : public Window {
public:
    struct Control {
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool checked = false;
    };

    FakeWindow(Dialog& dialog, FakeScreen& screen) : dialog_(dialog), screen_(screen) {
        for (const ControlTemplate& c : dialog.dialogTemplate().controls) {
            controls_[c.id] = {std::string(c.text), (c.style & control_style::kDisabled) == 0,
                               (c.style & control_style::kHidden) == 0, false};
        }
    }

    // Events.
    void init() { send({Dialog::Event::Kind::Init}); }
    void command(int id, Dialog::Notification n) { send({Dialog::Event::Kind::Command, id, n}); }
    void click(int id) {
        // A click on a check box or an automatic radio button changes it before its handler runs.
        if (const ControlTemplate* c = dialog_.dialogTemplate().control(id)) {
            if (c->kind == ControlKind::CheckBox) {
                controls_[id].checked = !controls_[id].checked;
            } else if (c->kind == ControlKind::RadioButton) {
                controls_[id].checked = true;
            }
        }
        command(id, Dialog::Notification::Clicked);
    }
    void type(int id, const std::string& text) {
        controls_[id].text = text;
        command(id, Dialog::Notification::Edited);
    }
    // A tick of a running timer; false (and no tick) when it is not running.
    bool tick(int id) {
        if (!timers_.count(id)) {
            return false;
        }
        send({Dialog::Event::Kind::Timer, id});
        return true;
    }
    void sysCommand(int command) { send({Dialog::Event::Kind::SysCommand, command}); }
    void close() { send({Dialog::Event::Kind::Close}); }
    void destroy() { send({Dialog::Event::Kind::Destroy}); }

    // What the window shows.
    Control& control(int id) { return controls_.at(id); }
    const std::map<int, int>& timers() const { return timers_; }  // running: id -> period
    int activeTimer() const { return timers_.empty() ? 0 : timers_.begin()->first; }
    // The log box as the prepends built it.
    std::string logBox(int id) const {
        std::string text;
        const auto it = logPieces_.find(id);
        if (it != logPieces_.end()) {
            for (auto p = it->second.rbegin(); p != it->second.rend(); ++p) {
                text += *p;
            }
        }
        return text;
    }
    bool ended() const { return result_ != 0; }
    int result() const { return result_; }
    int focus() const { return focus_; }
    std::set<int>& selection(int listId) { return selections_[listId]; }

    // Acts in a child window of a modal run; returns the answer for a run left open.
    std::function<int(Dialog&, FakeWindow&)> modalHandler;

    // Window.
    std::string text(int id) const override { return controls_.at(id).text; }
    void setText(int id, std::string_view text) override { controls_.at(id).text = text; }
    bool isEnabled(int id) const override { return controls_.at(id).enabled; }
    void setEnabled(int id, bool enabled) override { controls_.at(id).enabled = enabled; }
    bool isVisible(int id) const override { return controls_.at(id).visible; }
    void setVisible(int id, bool visible) override { controls_.at(id).visible = visible; }
    bool isChecked(int id) const override { return controls_.at(id).checked; }
    void setChecked(int id, bool checked) override { controls_.at(id).checked = checked; }
    void setFocus(int id) override { focus_ = id; }
    bool hasFocus(int id) const override { return focus_ == id; }

    void logLinePrepended(int id, std::string_view line) override { logPieces_[id].emplace_back(line); }
    void logMarkPrepended(int id, std::string_view mark) override { logPieces_[id].emplace_back(mark); }

    void rowsChanged(int id) override { selections_[id].clear(); }
    void setRowSelected(int id, int row, bool selected) override {
        if (selected) {
            selections_[id].insert(row);
        } else {
            selections_[id].erase(row);
        }
    }
    std::vector<int> selectedRows(int id) const override {
        const auto it = selections_.find(id);
        return it == selections_.end() ? std::vector<int>{}
                                       : std::vector<int>(it->second.begin(), it->second.end());
    }

    void paintNow() override {}

    int startTimer(int id, int periodMs) override {
        if (screen_.refusedTimers.count(id)) {
            return 0;
        }
        timers_[id] = periodMs;
        return id;
    }
    void stopTimer(int id) override { timers_.erase(id); }

    int runModal(Dialog& dialog) override {
        ++screen_.modalRuns;
        FakeWindow child(dialog, screen_);
        child.modalHandler = modalHandler;  // one handler answers the nested runs too
        child.init();
        const int answer = child.ended()  ? child.result()
                           : modalHandler ? modalHandler(dialog, child)
                                          : Dialog::kCancel;
        if (!child.ended()) {
            child.result_ = answer;
        }
        child.destroy();
        return child.result_;
    }
    void endDialog(int result) override { result_ = result; }

    Answer messageBox(std::string_view text, std::string_view caption, Buttons buttons) override {
        screen_.boxes.push_back({std::string(text), std::string(caption), buttons});
        if (screen_.onBox) {
            screen_.onBox(std::string(text));
        }
        if (buttons == Buttons::Ok) {
            return Answer::Ok;
        }
        if (screen_.yesNoAnswers.empty()) {
            return screen_.unscriptedAnswer;
        }
        const Answer a = screen_.yesNoAnswers.front();
        screen_.yesNoAnswers.pop_front();
        return a;
    }
    std::string openFileName(const FileFilter& filter) override { return nextFile(filter); }
    std::string saveFileName(const FileFilter& filter) override { return nextFile(filter); }
    void openExternal(std::string_view fileOrUrl) override { screen_.opened.emplace_back(fileOrUrl); }
    LocalTime localTime() override { return screen_.time; }

private:
    void send(const Dialog::Event& event) { dialog_.handleEvent(*this, event); }

    std::string nextFile(const FileFilter& filter) {
        screen_.fileFilters.push_back(filter);
        if (screen_.fileAnswers.empty()) {
            return {};
        }
        std::string path = screen_.fileAnswers.front();
        screen_.fileAnswers.pop_front();
        return path;
    }

    Dialog& dialog_;
    FakeScreen& screen_;
    std::map<int, Control> controls_;
    std::map<int, int> timers_;
    std::map<int, std::vector<std::string>> logPieces_;
    std::map<int, std::set<int>> selections_;
    int focus_ = 0;
    int result_ = 0;
};
