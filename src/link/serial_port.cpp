// The part of SerialPort that both platforms share: the hooks through which a port tells
// the program of its warnings and of an open that takes its time.

#include "serial_port.h"

#include <utility>

#include "serial_port_hooks.h"

namespace {

constexpr const char* kWarningCaption = "Warning!";

SerialPort::WarningHandler& warningHandler() {
    static SerialPort::WarningHandler handler;
    return handler;
}

SerialPort::LinkWaitHandler& linkWaitHandler() {
    static SerialPort::LinkWaitHandler handler;
    return handler;
}

}  // namespace

void serial_port_detail::reportLinkWait(int portNumber, LinkWaitStep step) {
    if (const auto& handler = linkWaitHandler()) {
        handler(portNumber, step);
    }
}

void SerialPort::setWarningHandler(WarningHandler handler) {
    warningHandler() = std::move(handler);
}

void SerialPort::setLinkWaitHandler(LinkWaitHandler handler) {
    linkWaitHandler() = std::move(handler);
}

void SerialPort::warn(const char* text) {
    if (const auto& handler = warningHandler()) {
        handler(text, kWarningCaption);
    } else {
        serial_port_detail::showWarningUnhandled(text, kWarningCaption);
    }
}
