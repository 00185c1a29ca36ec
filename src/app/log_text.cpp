#include "log_text.h"

QString LogText::text() const {
    qsizetype size = 0;
    for (const QString& piece : pieces_) {
        size += piece.size();
    }
    QString text;
    text.reserve(size);
    for (auto it = pieces_.crbegin(); it != pieces_.crend(); ++it) {
        text += *it;
    }
    return text;
}
