#pragma once

#include <QString>

#include "error_kind.h"
#include "link_primitives.h"

// What the key and archive dialogs use of the main window while they are open: its link
// primitives on the one serial port, its log, its error reporter and its image.
class MainWindowLink : public LinkPrimitives {
public:
    virtual void logLine(const QString& text) = 0;
    virtual void logMark(const QString& text) = 0;
    virtual void reportError(int code, ErrorKind kind, const QString& text) = 0;

    virtual void clearImage() = 0;
};
