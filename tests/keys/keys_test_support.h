#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <QCoreApplication>
#include <QFocusEvent>
#include <QString>
#include <QWidget>

#include "key_code.h"
#include "key_record.h"
#include "key_samples.h"

namespace keys_test {

inline QString textOf(const KeyCode& key) {
    return QString::fromStdString(keyCodeText(key));
}

template <class T>
T* control(const QWidget* window, int id) {
    return window->findChild<T*>(QString::number(id));
}

// The user moves on from a field to another control of the same window.
inline void leaveField(QWidget* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(field, &out);
}

// Where `part` first occurs in `whole`, or -1.
inline int find(const Bytes& whole, const Bytes& part) {
    const auto it = std::search(whole.begin(), whole.end(), part.begin(), part.end());
    return it == whole.end() ? -1 : static_cast<int>(it - whole.begin());
}

inline Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) {
        all.insert(all.end(), p.begin(), p.end());
    }
    return all;
}

inline Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}
inline Bytes bytesOf(const KeyCode& key) {
    return Bytes(key.begin(), key.end());
}

}  // namespace keys_test
