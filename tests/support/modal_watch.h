#pragma once

#include <functional>

#include <QApplication>
#include <QTimer>
#include <QWidget>

// Acts once in the first visible modal window of type T that opens while it is watched,
// as a user would in a dialog the program opens and waits in.
template <class T>
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(T*)> act) : act_(std::move(act)) {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
            if (window == nullptr || !window->isVisible()) {
                return;
            }
            poll_.stop();
            act_(window);
        });
        poll_.start(10);
    }

private:
    std::function<void(T*)> act_;
    QTimer poll_;
};
