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

#include "key_bytes.h"
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

}  // namespace keys_test
