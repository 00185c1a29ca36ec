#pragma once

#include <span>
#include <string>

#include "error_kind.h"
#include "fault.h"

// The fault matrix: every exchange with the unit against every fault the simulated unit
// can inject, one row per run. The matrix test drives each row on the simulated line and
// checks every column; fault_matrix_doc prints the same rows as docs/fault-matrix.md.

enum class Exchange {
    Handshake,
    LiftName,
    RecordSize,
    AccessTime,
    RelayByte,
    AccessCode,
    Clock,
    EraseKeys,
    EraseLogs,
    PollReader,
    PollKeepAlive,
    KeyDialogReader,
    KeyWrite,
    KeyDelete,
    ArchiveKeepAlive,
    ArchiveErase,
    ImageWrite,
    ArchiveSettings,
};
inline constexpr int kExchangeCount = 18;

// The matrix's columns, one per kind of fault.
enum class FaultColumn {
    Silence,
    WrongByte,
    DroppedByte,
    DoubledByte,
    StrayByte,
    SplitAnswer,
    HangUp,
    SlowErase
};
inline constexpr int kFaultColumnCount = 8;

// The window whose timer runs the exchange; its buttons and timer are the row's.
enum class ExchangeWindow { Main, KeyDialog, Archive };

// What the reporter was called with; code 0: nothing was reported.
struct Report {
    int code = 0;
    ErrorKind kind = ErrorKind::Logged;
};

// Something to set up besides the fault.
enum class Twist {
    None,
    MinuteEqualsSecond,  // the PC's clock reads 10:30:30, so the minute and the second are one byte
};

struct FaultCell {
    Exchange exchange;
    const char* fault;  // as UnitModel::setFault takes it, in parseFault's text form
    Report report;
    // The newest entry of the main window's log when the run ends ("*" marks taken off),
    // nullptr for a fatal or lost-link report's message; for the key dialog, the text of
    // its key field.
    const char* shows;
    bool done;    // the exchange's work got through (see exchangeDone)
    int buttons;  // the window's six buttons enabled afterwards, bit i = button i
    int timer;    // the window's timer running afterwards; 0 = none
    bool portHeld;
    const char* note;
    Twist twist = Twist::None;
};

// The window's six buttons: the main window's 1000..1005; the archive dialog's 1036, 1038,
// 1041, 1040, 1039 and 2 ("Zpět").
inline constexpr int kAllButtons = 0x3F;
inline constexpr int kNoButton = 0;
inline constexpr int kConnectOnly = 1 << 4;                   // 1004
inline constexpr int kArchiveAfterFailure = 1 << 0 | 1 << 5;  // 1036 and Zpět
inline constexpr int kArchiveBackOnly = 1 << 5;               // Zpět

std::span<const FaultCell> faultMatrix();

const char* exchangeName(Exchange exchange);
// What "done" means for the exchange, as the matrix test checks it.
const char* exchangeDone(Exchange exchange);
ExchangeWindow windowOf(Exchange exchange);
const char* windowName(ExchangeWindow window);
const char* columnName(FaultColumn column);
// The column of the row's fault kind; false for a kind the matrix has no column for.
bool columnOf(const FaultCell& cell, FaultColumn& column);
// Whether the column's fault can hit the exchange: a slow erase only where the unit erases.
bool columnApplies(Exchange exchange, FaultColumn column);
// A fatal or lost-link report's message, as the message box and the log show it.
std::string reportMessage(const Report& report);
// "303 Fatal", "unnoticed", "missed", or the line a run without a report ends on.
std::string outcomeLabel(const FaultCell& cell);
// The buttons as ids ("1004", "1036, 2"), "all six" or "none".
std::string buttonsText(ExchangeWindow window, int buttons);
