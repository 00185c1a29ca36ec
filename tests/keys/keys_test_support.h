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

namespace keys_test {

using Bytes = std::vector<std::uint8_t>;

// A byte code: the seven serial bytes (family code first) and their 1-Wire CRC.
inline KeyCode byteKey(std::array<std::uint8_t, 7> serial) {
    KeyCode key{};
    for (int i = 0; i < 7; ++i) {
        key[i] = serial[i];
    }
    key[7] = crc8Maxim(key.data(), 7);
    return key;
}

// Application note 27 of the 1-Wire maker: serial 02 1C B8 01 00 00 00 has the CRC A2.
inline KeyCode an27Key() {
    return {0x02, 0x1C, 0xB8, 0x01, 0x00, 0x00, 0x00, 0xA2, 0, 0, 0, 0};
}

// A distinct valid byte code for every n.
inline KeyCode numberedKey(int n) {
    return byteKey(
        {0x01, static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8), 0x5A, 0x10, 0x20, 0x30});
}

// A character code as it is typed: the first character is byte 11.
inline KeyCode charKey(std::string_view text) {
    KeyCode key{};
    for (int j = 0; j < 12; ++j) {
        key[11 - j] = static_cast<std::uint8_t>(text[j]);
    }
    return key;
}

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
