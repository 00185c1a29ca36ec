#pragma once

#include <deque>
#include <functional>
#include <vector>

#include <QDialog>
#include <QString>

#include "desktop.h"

// A desktop for tests: message boxes are recorded and answered at once, modal dialogs are
// handed to a handler (rejected when none is set), file dialogs take the next queued path,
// the shell's "open" is recorded, and the clock stands still. Installed for its lifetime.
class FakeDesktop : public Desktop {
public:
    struct Box {
        QString text;
        QString caption;
        Buttons buttons;
    };

    FakeDesktop() { Desktop::install(this); }
    ~FakeDesktop() override { Desktop::install(nullptr); }

    Answer messageBox(QWidget*, const QString& text, const QString& caption, Buttons buttons) override {
        boxes.push_back({text, caption, buttons});
        if (onBox) {
            onBox(text);
        }
        if (buttons == Buttons::Ok) {
            return Answer::Ok;
        }
        if (yesNoAnswers.empty()) {
            return unscriptedAnswer;
        }
        const Answer a = yesNoAnswers.front();
        yesNoAnswers.pop_front();
        return a;
    }

    // The dialog is really shown (offscreen), so its start-up runs as in the program; the
    // handler then acts in it, and a dialog the handler left open is closed with its answer.
    int runModal(QDialog& dialog) override {
        ++modalRuns;
        dialog.show();
        const int result = modalHandler ? modalHandler(dialog) : QDialog::Rejected;
        if (dialog.isVisible()) {
            dialog.done(result);
        }
        return result;
    }

    QString openFileName(QWidget*, const FileFilter& filter) override { return nextFile(filter); }
    QString saveFileName(QWidget*, const FileFilter& filter) override { return nextFile(filter); }
    void openExternal(const QString& fileOrUrl) override { opened.push_back(fileOrUrl); }
    LocalTime localTime() override { return time; }

    QStringList boxTexts() const {
        QStringList texts;
        for (const Box& b : boxes) {
            texts << b.text;
        }
        return texts;
    }

    std::vector<Box> boxes;
    std::function<void(const QString&)> onBox;  // called as each box is shown
    std::deque<Answer> yesNoAnswers;            // answers to Yes/No questions, in turn
    Answer unscriptedAnswer = Answer::No;       // once yesNoAnswers is empty
    std::function<int(QDialog&)> modalHandler;
    int modalRuns = 0;
    std::deque<QString> fileAnswers;  // paths the file dialogs return; empty = cancelled
    std::vector<FileFilter> fileFilters;
    std::vector<QString> opened;
    LocalTime time{2026, 12, 7, 10, 30, 15};

private:
    QString nextFile(const FileFilter& filter) {
        fileFilters.push_back(filter);
        if (fileAnswers.empty()) {
            return {};
        }
        QString path = fileAnswers.front();
        fileAnswers.pop_front();
        return path;
    }
};
