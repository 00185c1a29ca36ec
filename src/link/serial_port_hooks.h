#pragma once

#include "port_link.h"

// What the two backends share with the portable part of SerialPort (serial_port.cpp): the
// program's hook for a slow open, and the platform's own way of showing a warning when
// the program has set no handler for it.
namespace serial_port_detail {

void reportLinkWait(int portNumber, LinkWaitStep step);
// Defined by each backend: Windows shows a box, other systems write to the error output.
void showWarningUnhandled(const char* text, const char* caption);

}  // namespace serial_port_detail
