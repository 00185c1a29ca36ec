#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "code_page_1250.h"
#include "main_window_link.h"
#include "port_link.h"

// The main window as the key and archive dialogs see it, with the unit's answers scripted
// read by read: each readAnswer() takes the next queued answer (nothing once the queue is
// empty), and discardInput() is a read whose answer is dropped, as on the real link.
// Everything the dialog does to the window is recorded; the log keeps the newest line
// first, with marks put in front of it.
class ScriptedLink : public MainWindowLink {
public:
    using Bytes = std::vector<std::uint8_t>;

    struct Report {
        int code;
        ErrorKind kind;
        std::string text;  // UTF-8
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
    void discardInput() override {
        ++discards;
        readAnswer();
    }
    std::uint8_t answerByte(int position) override {
        return position >= 0 && position < static_cast<int>(last.size())
                   ? last[static_cast<std::size_t>(position)]
                   : 0;
    }
    int msSinceInput() override { return PortLink::kLongAgoMs; }
    void logLine(std::string_view text) override { lines.push_front(shown(text)); }
    void logMark(std::string_view text) override { lines.front().insert(0, shown(text)); }
    void reportError(int code, ErrorKind kind, std::string_view text) override {
        reports.push_back({code, kind, shown(text)});
    }
    void clearImage() override { ++imageClears; }

    std::vector<int> errorCodes() const {
        std::vector<int> codes;
        for (const Report& r : reports) {
            codes.push_back(r.code);
        }
        return codes;
    }
    std::vector<ErrorKind> errorKinds() const {
        std::vector<ErrorKind> kinds;
        for (const Report& r : reports) {
            kinds.push_back(r.kind);
        }
        return kinds;
    }

    std::deque<Bytes> reads;
    Bytes last;
    Bytes sent;
    std::vector<Report> reports;
    std::deque<std::string> lines{std::string()};  // UTF-8, newest first
    int discards = 0;
    int imageClears = 0;

private:
    static std::string shown(std::string_view cp1250) { return cp1250ToUtf8(cp1250); }
};
