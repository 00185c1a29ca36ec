#pragma once

#include <string_view>

#include "error_kind.h"
#include "link_primitives.h"

// What the key and archive dialogs use of the main window while they are open: its link
// primitives on the one serial port, its log, its error reporter and its image.
class MainWindowLink : public LinkPrimitives {
public:
    // Texts are code page 1250.
    virtual void logLine(std::string_view text) = 0;
    virtual void logMark(std::string_view text) = 0;
    virtual void reportError(int code, ErrorKind kind, std::string_view text) = 0;

    virtual void clearImage() = 0;
};
