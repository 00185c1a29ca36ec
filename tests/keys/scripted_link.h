#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include <QString>
#include <QStringList>

#include "main_window_link.h"

// The main window as the key dialog sees it, with the unit's answers scripted read by
// read: each readAnswer() takes the next queued chunk (nothing when the queue is empty).
// discardInput() drops nothing from the script, so a test queues exactly what the reads
// of its ticks are to find.
class ScriptedLink : public MainWindowLink {
public:
    struct Report {
        int code;
        ErrorKind kind;
        QString text;
    };

    void sendByte(std::uint8_t b) override { sent.push_back(b); }
    int readAnswer() override {
        last.clear();
        if (!reads.empty()) {
            last = reads.front();
            reads.pop_front();
        }
        return static_cast<int>(last.size());
    }
    void discardInput() override { ++discards; }
    std::uint8_t answerByte(int position) override {
        return position >= 0 && position < static_cast<int>(last.size()) ? last[position] : 0;
    }
    void logLine(const QString& text) override { lines << text; }
    void logMark(const QString& text) override { lines << text; }
    void reportError(int code, ErrorKind kind, const QString& text) override {
        reports.push_back({code, kind, text});
    }
    void clearImage() override {}

    std::deque<std::vector<std::uint8_t>> reads;
    std::vector<std::uint8_t> last;
    std::vector<std::uint8_t> sent;
    std::vector<Report> reports;
    QStringList lines;
    int discards = 0;
};
