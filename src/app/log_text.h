#pragma once

#include <string>
#include <string_view>
#include <vector>

// The whole text of the log box (code page 1250), newest line on top. Every change happens
// at the front, so the pieces are kept in the order they were added and joined back to
// front only when the whole text is asked for: an update costs the same at 100,000 lines
// as at 100.
class LogText {
public:
    void prepend(std::string_view piece) { pieces_.emplace_back(piece); }
    std::string text() const;
    bool isEmpty() const { return pieces_.empty(); }

private:
    std::vector<std::string> pieces_;
};
