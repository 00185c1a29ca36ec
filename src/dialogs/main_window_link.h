#pragma once

#include <cstdint>

#include <QString>

#include "error_kind.h"

// What the key and archive dialogs use of the main window while they are open: its link
// primitives on the one serial port, its log, its error reporter and its image.
class MainWindowLink {
public:
    virtual ~MainWindowLink() = default;

    virtual void sendByte(std::uint8_t b) = 0;
    virtual int readAnswer() = 0;
    virtual void discardInput() = 0;
    virtual std::uint8_t answerByte(int position) = 0;

    virtual void logLine(const QString& text) = 0;
    virtual void logMark(const QString& text) = 0;
    virtual void reportError(int code, ErrorKind kind, const QString& text) = 0;

    virtual void clearImage() = 0;
};
