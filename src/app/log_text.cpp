#include "log_text.h"

std::string LogText::text() const {
    std::size_t size = 0;
    for (const std::string& piece : pieces_) {
        size += piece.size();
    }
    std::string text;
    text.reserve(size);
    for (auto it = pieces_.crbegin(); it != pieces_.crend(); ++it) {
        text += *it;
    }
    return text;
}
