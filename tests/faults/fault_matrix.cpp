#include "fault_matrix.h"

#include <array>

namespace {

constexpr Report kNoReport{};
constexpr Report fatal(int code) {
    return {code, ErrorKind::Fatal};
}
constexpr Report disconnect(int code) {
    return {code, ErrorKind::Disconnect};
}
constexpr Report logged(int code) {
    return {code, ErrorKind::Logged};
}

// A fatal or lost-link report's own message is the newest log entry.
constexpr const char* kMessage = nullptr;

constexpr const char* kLiftNameFailed = "Chyba 301 - Uložení názvu výtahu se nezdařilo!";
constexpr const char* kNotFound = "ZYL nenalezeno!";
constexpr const char* kResetDone = "Tovarni nastavení uloženo";
constexpr const char* kNothingLogged = "";
constexpr const char* kNoKey = "------------";
constexpr const char* kHeldKey = "A200000001B81C02";  // the key held at the reader
constexpr const char* kKeyStored = "Klíč byl uložen";
constexpr const char* kKeyDeleted = "Klíč s ID 3 byl vymazán!";
constexpr const char* kErased = "Všechny klíče byly smazány";
constexpr const char* kImageDone = "Hotovo";
constexpr const char* kSettingsDone = "Nastavena nová nastavení pro relé";

constexpr bool kHeld = true;
constexpr bool kClosed = false;
constexpr bool kDone = true;
constexpr bool kMissed = false;

// Timers afterwards.
constexpr int kNone = 0;
constexpr int kIdlePoll = 2;       // main window
constexpr int kReaderTimer = 1;    // key dialog
constexpr int kKeepAlive = 1;      // archive dialog
constexpr int kSettingsTimer = 4;  // archive dialog, armed after the relay byte

// Answer bytes (nth) are counted from 0 within the exchange that the fault names.
constexpr FaultCell kCells[] = {
    // --- Handshake: 0x01 0xA7 'Z' 'Y' 'L', answered 0x07 (byte 0), read 50 ms after 'L'.
    {Exchange::Handshake, "silence@0x01", kNoReport, kNotFound, kMissed, kConnectOnly, kNone, kClosed,
     "no 0x07: COM3 is closed as a port without a unit and the search finds none after it"},
    {Exchange::Handshake, "wrong@0x01:0", kNoReport, kNotFound, kMissed, kConnectOnly, kNone, kClosed,
     "0xF8 instead of 0x07"},
    {Exchange::Handshake, "drop-echo@0x01:0", kNoReport, kNotFound, kMissed, kConnectOnly, kNone, kClosed,
     "no echo here: the one answer byte 0x07 is dropped"},
    {Exchange::Handshake, "double-echo@0x01:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "0x07 0x07: a 0x07 anywhere counts"},
    {Exchange::Handshake, "stray@0x01:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "0x07 0x55: a 0x07 anywhere counts"},
    {Exchange::Handshake, "split@0x01:0", kNoReport, kNotFound, kMissed, kConnectOnly, kNone, kClosed,
     "a one-byte answer held back 60 ms comes after the read 50 ms after 'L': a late unit counts as none"},
    {Exchange::Handshake, "hangup@0x01", kNoReport, kNotFound, kMissed, kConnectOnly, kNone, kClosed,
     "the line drops at 0x01; the program closes the port as one without a unit"},

    // --- Lift name (empty): 0x1E 0xFF, answered 0xFF (echo, byte 0) and 0xFF (byte 1).
    {Exchange::LiftName, "silence@0x1E", logged(301), kLiftNameFailed, kMissed, kNoButton, kNone, kHeld,
     "301 ends the reset with every button disabled and the port open: only closing the program helps"},
    {Exchange::LiftName, "wrong@0x1E:0", logged(301), kLiftNameFailed, kMissed, kNoButton, kNone, kHeld,
     "the terminator's echo comes back 0x00"},
    {Exchange::LiftName, "wrong@0x1E:1", logged(301), kLiftNameFailed, kMissed, kNoButton, kNone, kHeld,
     "no 0xFF after the name's end: the second byte comes back 0x00"},
    {Exchange::LiftName, "drop-echo@0x1E:0", logged(301), kLiftNameFailed, kMissed, kNoButton, kNone, kHeld,
     "one byte where exactly two are wanted"},
    {Exchange::LiftName, "double-echo@0x1E:0", logged(301), kLiftNameFailed, kMissed, kNoButton, kNone, kHeld,
     "three bytes where exactly two are wanted"},
    {Exchange::LiftName, "stray@0x1E:1", logged(301), kLiftNameFailed, kMissed, kNoButton, kNone, kHeld,
     "0xFF 0xFF 0x55: even a byte after the answer fails the exact count"},
    {Exchange::LiftName, "split@0x1E:1", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "the second 0xFF 60 ms late is still in before the read 200 ms on"},
    {Exchange::LiftName, "hangup@0x1E", logged(301), kLiftNameFailed, kMissed, kNoButton, kNone, kHeld,
     "nothing comes back to the terminator"},

    // --- Record size: 0x23, 65, answered 0x06 (byte 0), no echo.
    {Exchange::RecordSize, "silence@0x23", fatal(303), kMessage, kMissed, kNoButton, kNone, kHeld,
     "nothing to the record size"},
    {Exchange::RecordSize, "wrong@0x23:0", fatal(302), kMessage, kMissed, kNoButton, kNone, kHeld, "0xF9"},
    {Exchange::RecordSize, "drop-echo@0x23:0", fatal(303), kMessage, kMissed, kNoButton, kNone, kHeld,
     "no echo here: the 0x06 is dropped"},
    {Exchange::RecordSize, "double-echo@0x23:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "0x06 0x06: only the first byte is judged"},
    {Exchange::RecordSize, "stray@0x23:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "0x06 0x55: only the first byte is judged"},
    {Exchange::RecordSize, "split@0x23:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "60 ms late, well before the read 200 ms on"},
    {Exchange::RecordSize, "hangup@0x23", fatal(303), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the line drops at 0x23: nothing to the record size"},

    // --- Access time: 0x1F, 5, answered 0x06 (byte 0), no echo.
    {Exchange::AccessTime, "silence@0x1F", fatal(305), kMessage, kMissed, kNoButton, kNone, kHeld,
     "nothing to the access time"},
    {Exchange::AccessTime, "wrong@0x1F:0", fatal(304), kMessage, kMissed, kNoButton, kNone, kHeld, "0xF9"},
    {Exchange::AccessTime, "drop-echo@0x1F:0", fatal(305), kMessage, kMissed, kNoButton, kNone, kHeld,
     "no echo here: the 0x06 is dropped"},
    {Exchange::AccessTime, "double-echo@0x1F:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "only the first byte is judged"},
    {Exchange::AccessTime, "stray@0x1F:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "only the first byte is judged"},
    {Exchange::AccessTime, "split@0x1F:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "60 ms late, well before the read"},
    {Exchange::AccessTime, "hangup@0x1F", fatal(305), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the line drops at 0x1F"},

    // --- Relay byte: 0x19, 0x00, answered 0x06 (byte 0), no echo.
    {Exchange::RelayByte, "silence@0x19", fatal(307), kMessage, kMissed, kNoButton, kNone, kHeld,
     "nothing to the relay byte"},
    {Exchange::RelayByte, "wrong@0x19:0", fatal(306), kMessage, kMissed, kNoButton, kNone, kHeld, "0xF9"},
    {Exchange::RelayByte, "drop-echo@0x19:0", fatal(307), kMessage, kMissed, kNoButton, kNone, kHeld,
     "no echo here: the 0x06 is dropped"},
    {Exchange::RelayByte, "double-echo@0x19:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "only the first byte is judged"},
    {Exchange::RelayByte, "stray@0x19:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "only the first byte is judged"},
    {Exchange::RelayByte, "split@0x19:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "60 ms late, well before the read"},
    {Exchange::RelayByte, "hangup@0x19", fatal(307), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the line drops at 0x19"},

    // --- Access code 4827: 0x20, 0x12 answered 0x12 (byte 0); 0xDB answered 0xDB 0x06 (1, 2).
    {Exchange::AccessCode, "silence@0x20", fatal(309), kMessage, kMissed, kNoButton, kNone, kHeld,
     "nothing to the high byte"},
    {Exchange::AccessCode, "wrong@0x20:0", fatal(308), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the high byte's echo comes back 0xED"},
    {Exchange::AccessCode, "wrong@0x20:1", fatal(310), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the low byte's echo comes back 0x24"},
    {Exchange::AccessCode, "wrong@0x20:2", fatal(312), kMessage, kMissed, kNoButton, kNone, kHeld,
     "0xF9 instead of the 0x06"},
    {Exchange::AccessCode, "drop-echo@0x20:1", fatal(311), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the low byte's echo lost: 0x06 alone"},
    {Exchange::AccessCode, "drop-echo@0x20:2", fatal(311), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the 0x06 lost: the low byte's echo alone"},
    {Exchange::AccessCode, "double-echo@0x20:0", fatal(309), kMessage, kMissed, kNoButton, kNone, kHeld,
     "0x12 0x12: two bytes to the high byte"},
    {Exchange::AccessCode, "stray@0x20:2", fatal(311), kMessage, kMissed, kNoButton, kNone, kHeld,
     "0xDB 0x06 0x55: unlike the other settings, a byte after the 0x06 fails the exact count"},
    {Exchange::AccessCode, "split@0x20:2", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "the 0x06 60 ms behind the low byte's echo: both in before the read"},
    {Exchange::AccessCode, "hangup@0x20", fatal(309), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the line drops at 0x20: nothing to the high byte"},

    // --- Clock 26-12-07 10:30:15: 0x24 and six bytes, each echoed (bytes 0..5); 0x06 (byte
    // 6) 2 s later. Only the last echo is compared, with the echo chain's lastSentByte.
    {Exchange::Clock, "silence@0x24", fatal(320), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the chain stays at the year; the empty read leaves the access code's 0xDB as byte 0"},
    {Exchange::Clock, "wrong@0x24:5", fatal(320), kMessage, kMissed, kNoButton, kNone, kHeld,
     "a wrong echo of the seconds"},
    {Exchange::Clock, "wrong@0x24:6", fatal(321), kMessage, kMissed, kNoButton, kNone, kHeld,
     "0xF9 instead of the 0x06 after the seconds"},
    {Exchange::Clock, "drop-echo@0x24:2", fatal(320), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the day's echo lost: the chain stops at the month"},
    {Exchange::Clock, "drop-echo@0x24:5", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "at 10:30:30 the seconds' echo lost: the stale minute echo left in the buffer matches",
     Twist::MinuteEqualsSecond},
    {Exchange::Clock, "drop-echo@0x24:6", fatal(322), kMessage, kMissed, kNoButton, kNone, kHeld,
     "no 0x06 after the seconds"},
    {Exchange::Clock, "double-echo@0x24:2", fatal(320), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the day echoed twice: two bytes, the chain stops at the day"},
    {Exchange::Clock, "stray@0x24:1", fatal(320), kMessage, kMissed, kNoButton, kNone, kHeld,
     "a stray byte after the month's echo breaks the chain"},
    {Exchange::Clock, "split@0x24:5", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "the seconds' echo 60 ms late is in before the read 200 ms on"},
    {Exchange::Clock, "hangup@0x24", fatal(320), kMessage, kMissed, kNoButton, kNone, kHeld, "as silence"},

    // --- Erase of the keys in the reset: 0x18 0x08 0x11, answered 0x07 (byte 0), a 0x0A every
    // 100 ms (bytes 1..14), 0x03 (byte 15).
    {Exchange::EraseKeys, "silence@0x18", disconnect(521), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "a lost link leaves the port open"},
    {Exchange::EraseKeys, "wrong@0x18:3", disconnect(523), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "a progress byte comes 0xF5"},
    {Exchange::EraseKeys, "wrong@0x18:0", disconnect(521), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "0xF8 instead of the 0x07: anything but 0x07 first"},
    {Exchange::EraseKeys, "drop-echo@0x18:0", disconnect(521), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "no echo here: the 0x07 dropped, the first byte read is a progress byte"},
    {Exchange::EraseKeys, "double-echo@0x18:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "0x07 0x07: only the first byte of that read is judged"},
    {Exchange::EraseKeys, "stray@0x18:0", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "0x07 0x55: only the first byte of that read is judged"},
    {Exchange::EraseKeys, "split@0x18:1", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "the progress 60 ms late still comes more often than every 150 ms"},
    {Exchange::EraseKeys, "split@0x18:3", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "a progress byte split across ticks is still progress"},
    {Exchange::EraseKeys, "hangup@0x18", disconnect(521), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "the line drops at 0x18: no 0x07"},
    {Exchange::EraseKeys, "slow-erase@0x18", disconnect(525), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "the progress bytes 200 ms apart"},

    // --- Erase of the logs in the reset: 0x28 0x08 0x13, answered as the keys' erase.
    {Exchange::EraseLogs, "silence@0x28", disconnect(522), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "the keys are already erased"},
    {Exchange::EraseLogs, "wrong@0x28:0", disconnect(522), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "0xF8 instead of 0x07"},
    {Exchange::EraseLogs, "wrong@0x28:3", disconnect(524), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "a progress byte comes 0xF5"},
    {Exchange::EraseLogs, "drop-echo@0x28:0", disconnect(522), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "no echo here: the 0x07 dropped"},
    {Exchange::EraseLogs, "double-echo@0x28:3", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "a progress byte twice is counted twice"},
    {Exchange::EraseLogs, "stray@0x28:3", disconnect(524), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "a 0x55 among the progress bytes is judged, unlike one after the 0x07"},
    {Exchange::EraseLogs, "split@0x28:1", kNoReport, kResetDone, kDone, kAllButtons, kNone, kClosed,
     "the progress 60 ms late still comes more often than every 150 ms"},
    {Exchange::EraseLogs, "hangup@0x28", disconnect(522), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "the line drops at 0x28: no 0x07"},
    {Exchange::EraseLogs, "slow-erase@0x28", disconnect(526), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "the progress bytes 200 ms apart; the keys are already erased"},

    // --- Idle poll, reader: 0x6B answered status 1 and the 12 bytes of the key of record 3
    // (bytes 0..12); anything but 13 bytes is ignored. The poll never ends: each run makes
    // eight cycles, and "done" means the first selected the key's row.
    {Exchange::PollReader, "silence@0x6B", disconnect(600), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "the unit falls silent for good: the keep-alive goes unanswered too, 600 after six cycles"},
    {Exchange::PollReader, "wrong@0x6B:5", kNoReport, kNothingLogged, kMissed, kAllButtons, kIdlePoll, kHeld,
     "key byte 4 complemented: no record has that code, nothing is selected until the next cycle"},
    {Exchange::PollReader, "drop-echo@0x6B:5", kNoReport, kNothingLogged, kMissed, kAllButtons, kIdlePoll,
     kHeld, "no echo here: 12 bytes are ignored"},
    {Exchange::PollReader, "double-echo@0x6B:5", kNoReport, kNothingLogged, kMissed, kAllButtons, kIdlePoll,
     kHeld, "14 bytes are ignored"},
    {Exchange::PollReader, "stray@0x6B:12", kNoReport, kNothingLogged, kMissed, kAllButtons, kIdlePoll, kHeld,
     "a byte after a whole answer makes 14, which is ignored (the key dialog drops it instead)"},
    {Exchange::PollReader, "split@0x6B:5", kNoReport, kNothingLogged, kDone, kAllButtons, kIdlePoll, kHeld,
     "5 + 8 bytes, all in before the read 500 ms on"},
    {Exchange::PollReader, "hangup@0x6B", disconnect(600), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "six cycles without 0x06"},

    // --- Idle poll, keep-alive: 0x05 answered 0x06 (byte 0). "done": the first cycle was
    // acknowledged.
    {Exchange::PollKeepAlive, "silence@0x05", disconnect(600), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "six cycles without 0x06"},
    {Exchange::PollKeepAlive, "wrong@0x05:0", kNoReport, kNothingLogged, kMissed, kAllButtons, kIdlePoll,
     kHeld, "one cycle counted missed; the next acknowledgement clears the count"},
    {Exchange::PollKeepAlive, "drop-echo@0x05:0", kNoReport, kNothingLogged, kMissed, kAllButtons, kIdlePoll,
     kHeld, "no echo here: the 0x06 dropped, one cycle counted missed"},
    {Exchange::PollKeepAlive, "double-echo@0x05:0", kNoReport, kNothingLogged, kDone, kAllButtons, kIdlePoll,
     kHeld, "a 0x06 anywhere counts"},
    {Exchange::PollKeepAlive, "stray@0x05:0", kNoReport, kNothingLogged, kDone, kAllButtons, kIdlePoll, kHeld,
     "a 0x06 anywhere counts"},
    {Exchange::PollKeepAlive, "split@0x05:0", kNoReport, kNothingLogged, kDone, kAllButtons, kIdlePoll, kHeld,
     "60 ms late, well before the read"},
    {Exchange::PollKeepAlive, "hangup@0x05", disconnect(600), kMessage, kMissed, kConnectOnly, kNone, kHeld,
     "the line drops at the first 0x05: six cycles without 0x06"},

    // --- Key dialog reader (adding by reader): 0x6B answered status 1 and 12 key bytes,
    // collected over as many 50 ms ticks as it takes. "done": the first cycle showed the key.
    {Exchange::KeyDialogReader, "silence@0x6B", disconnect(501), kNoKey, kMissed, kConnectOnly, kNone, kHeld,
     "201 empty reads (10 s); the dialog's OK is disabled"},
    {Exchange::KeyDialogReader, "wrong@0x6B:5", kNoReport, kNoKey, kMissed, kAllButtons, kReaderTimer, kHeld,
     "key byte 4 complemented fails the CRC: the field is blanked until the next cycle"},
    {Exchange::KeyDialogReader, "drop-echo@0x6B:5", disconnect(501), kNoKey, kMissed, kConnectOnly, kNone,
     kHeld,
     "12 bytes: the dialog waits for a 13th that never comes and, 201 empty reads later, reports the link "
     "lost"},
    {Exchange::KeyDialogReader, "double-echo@0x6B:5", kNoReport, kNoKey, kMissed, kAllButtons, kReaderTimer,
     kHeld, "the key bytes shift by one and fail their check; the 14th byte is dropped"},
    {Exchange::KeyDialogReader, "stray@0x6B:12", kNoReport, kHeldKey, kDone, kAllButtons, kReaderTimer, kHeld,
     "a byte after the 13th is dropped"},
    {Exchange::KeyDialogReader, "split@0x6B:5", kNoReport, kHeldKey, kDone, kAllButtons, kReaderTimer, kHeld,
     "5 bytes in one tick, 8 in the next: collected across the reads"},
    {Exchange::KeyDialogReader, "hangup@0x6B", disconnect(501), kNoKey, kMissed, kConnectOnly, kNone, kHeld,
     "as silence"},

    // --- Key write of record 0 with comment "abc": 0x11, record high, low, 12 key bytes, 3
    // floor bytes, each echoed (bytes 0..16); 0x06 (byte 17) after the floors; the comment
    // unanswered up to its 0x00, then 0x06 (byte 18). Only the answer after the 4.2 s wait
    // and the comment's acknowledgement are judged.
    {Exchange::KeyWrite, "silence@0x11", fatal(103), kMessage, kMissed, kNoButton, kNone, kHeld,
     "nothing after the floor bytes"},
    {Exchange::KeyWrite, "wrong@0x11:5", kNoReport, kKeyStored, kDone, kAllButtons, kIdlePoll, kHeld,
     "a wrong echo among the key bytes: the echo chain is never judged here"},
    {Exchange::KeyWrite, "wrong@0x11:16", fatal(101), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the last floor byte's echo is judged"},
    {Exchange::KeyWrite, "drop-echo@0x11:16", fatal(103), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the last floor byte's echo lost: 0x06 alone"},
    {Exchange::KeyWrite, "drop-echo@0x11:18", fatal(105), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the comment's acknowledgement lost"},
    {Exchange::KeyWrite, "double-echo@0x11:16", fatal(102), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the floor byte twice: the second byte is not 0x06"},
    {Exchange::KeyWrite, "stray@0x11:16", fatal(102), kMessage, kMissed, kNoButton, kNone, kHeld,
     "0x55 between the floor byte's echo and 0x06"},
    {Exchange::KeyWrite, "split@0x11:16", kNoReport, kKeyStored, kDone, kAllButtons, kIdlePoll, kHeld,
     "60 ms late, well within the 4.2 s wait"},
    {Exchange::KeyWrite, "hangup@0x11", fatal(103), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the line drops at 0x11: nothing after the floor bytes"},

    // --- Key delete of record 3: 0x13, 0x00 echoed (byte 0), 0x03 echoed (byte 1), 0x06
    // (byte 2), judged after 3.6 s. The poll has started already when an error is reported.
    {Exchange::KeyDelete, "silence@0x13", fatal(203), kMessage, kMissed, kNoButton, kNone, kHeld,
     "nothing after the 3.6 s wait"},
    {Exchange::KeyDelete, "wrong@0x13:1", fatal(201), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the low byte's echo comes back 0xFC"},
    {Exchange::KeyDelete, "wrong@0x13:0", kNoReport, kKeyDeleted, kDone, kAllButtons, kIdlePoll, kHeld,
     "the high byte's echo is never judged"},
    {Exchange::KeyDelete, "drop-echo@0x13:1", fatal(203), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the low byte's echo lost: 0x06 alone"},
    {Exchange::KeyDelete, "double-echo@0x13:1", fatal(202), kMessage, kMissed, kNoButton, kNone, kHeld,
     "0x03 0x03 0x06: the second byte is not 0x06"},
    {Exchange::KeyDelete, "stray@0x13:2", kNoReport, kKeyDeleted, kDone, kAllButtons, kIdlePoll, kHeld,
     "0x03 0x06 0x55: a byte after the acknowledgement is not judged"},
    {Exchange::KeyDelete, "split@0x13:1", kNoReport, kKeyDeleted, kDone, kAllButtons, kIdlePoll, kHeld,
     "60 ms late, well within the 3.6 s wait"},
    {Exchange::KeyDelete, "hangup@0x13", fatal(203), kMessage, kMissed, kNoButton, kNone, kHeld,
     "the line drops at 0x13"},

    // --- Archive keep-alive: 0x05 every 2 s answered 0x06 (byte 0); three cycles in a row
    // without it lose the link. Each run makes six cycles; "done": the first was answered.
    {Exchange::ArchiveKeepAlive, "silence@0x05", disconnect(600), kMessage, kMissed, kArchiveAfterFailure,
     kNone, kHeld, "three cycles without 0x06"},
    {Exchange::ArchiveKeepAlive, "wrong@0x05:0", kNoReport, kNothingLogged, kMissed, kAllButtons, kKeepAlive,
     kHeld, "one cycle counted missed; the next acknowledgement clears the count"},
    {Exchange::ArchiveKeepAlive, "drop-echo@0x05:0", kNoReport, kNothingLogged, kMissed, kAllButtons,
     kKeepAlive, kHeld, "no echo here: the 0x06 dropped, one cycle counted missed"},
    {Exchange::ArchiveKeepAlive, "double-echo@0x05:0", kNoReport, kNothingLogged, kDone, kAllButtons,
     kKeepAlive, kHeld, "a 0x06 anywhere counts"},
    {Exchange::ArchiveKeepAlive, "stray@0x05:0", kNoReport, kNothingLogged, kDone, kAllButtons, kKeepAlive,
     kHeld, "a 0x06 anywhere counts"},
    {Exchange::ArchiveKeepAlive, "split@0x05:0", kNoReport, kNothingLogged, kDone, kAllButtons, kKeepAlive,
     kHeld, "60 ms late, well before the read 1 s on"},
    {Exchange::ArchiveKeepAlive, "hangup@0x05", disconnect(600), kMessage, kMissed, kArchiveAfterFailure,
     kNone, kHeld, "the line drops at the first 0x05: three cycles without 0x06"},

    // --- Archive erase of all keys: 0x18 0x08 0x11 answered as in the reset; afterwards the
    // keep-alive runs again.
    {Exchange::ArchiveErase, "silence@0x18", disconnect(521), kMessage, kMissed, kArchiveAfterFailure, kNone,
     kHeld, "no 0x07 to the command"},
    {Exchange::ArchiveErase, "wrong@0x18:3", disconnect(523), kMessage, kMissed, kArchiveAfterFailure, kNone,
     kHeld, "a progress byte comes 0xF5"},
    {Exchange::ArchiveErase, "drop-echo@0x18:0", disconnect(521), kMessage, kMissed, kArchiveAfterFailure,
     kNone, kHeld, "no echo here: the 0x07 dropped"},
    {Exchange::ArchiveErase, "double-echo@0x18:0", kNoReport, kErased, kDone, kAllButtons, kKeepAlive, kHeld,
     "only the first byte of that read is judged"},
    {Exchange::ArchiveErase, "stray@0x18:3", disconnect(523), kMessage, kMissed, kArchiveAfterFailure, kNone,
     kHeld, "a 0x55 among the progress bytes"},
    {Exchange::ArchiveErase, "split@0x18:1", kNoReport, kErased, kDone, kAllButtons, kKeepAlive, kHeld,
     "the progress 60 ms late still comes more often than every 150 ms"},
    {Exchange::ArchiveErase, "hangup@0x18", disconnect(521), kMessage, kMissed, kArchiveAfterFailure, kNone,
     kHeld, "the line drops at 0x18: no 0x07"},
    {Exchange::ArchiveErase, "slow-erase@0x18", disconnect(525), kMessage, kMissed, kArchiveAfterFailure,
     kNone, kHeld, "the progress bytes 200 ms apart"},

    // --- Image write: 0x1D 0x07 0x1A answered 0x4E (byte 0); block k answered 0x06 (byte k
    // + 1), judged in the tick that sends block k + 1.
    {Exchange::ImageWrite, "silence@0x1D", fatal(530), kMessage, kMissed, kArchiveAfterFailure, kNone, kHeld,
     "no 'N' to the start of the write"},
    {Exchange::ImageWrite, "wrong@0x1D:0", fatal(531), kMessage, kMissed, kArchiveAfterFailure, kNone, kHeld,
     "0xB1 instead of 'N'"},
    {Exchange::ImageWrite, "wrong@0x1D:1", fatal(532), kMessage, kMissed, kArchiveAfterFailure, kNone, kHeld,
     "block 0 answered 0xF9, found with block 1"},
    {Exchange::ImageWrite, "drop-echo@0x1D:1", fatal(533), kMessage, kMissed, kArchiveAfterFailure, kNone,
     kHeld, "no echo here: block 0's answer dropped"},
    {Exchange::ImageWrite, "double-echo@0x1D:1", kNoReport, kImageDone, kDone, kAllButtons, kSettingsTimer,
     kHeld, "block 0 answered twice: both in one read, the first judged"},
    {Exchange::ImageWrite, "stray@0x1D:1", kNoReport, kImageDone, kDone, kAllButtons, kSettingsTimer, kHeld,
     "0x06 0x55: only the first byte is judged"},
    {Exchange::ImageWrite, "split@0x1D:1", kNoReport, kImageDone, kDone, kAllButtons, kSettingsTimer, kHeld,
     "every block answer 60 ms late, still in before the next tick"},
    {Exchange::ImageWrite, "hangup@0x1D", fatal(530), kMessage, kMissed, kArchiveAfterFailure, kNone, kHeld,
     "the line drops at 0x1D: no 'N'"},

    // --- Archive settings write after the image: 0x23 65, 0x1F 5, 0x19 0x00, each answered
    // 0x06 (byte 0) and judged 700 ms later.
    {Exchange::ArchiveSettings, "silence@0x23", fatal(303), kMessage, kMissed, kArchiveBackOnly, kNone, kHeld,
     "only Zpět is left"},
    {Exchange::ArchiveSettings, "wrong@0x1F:0", fatal(304), kMessage, kMissed, kArchiveBackOnly, kNone, kHeld,
     "the access time answered 0xF9"},
    {Exchange::ArchiveSettings, "drop-echo@0x19:0", fatal(307), kMessage, kMissed, kArchiveBackOnly, kNone,
     kHeld, "no echo here: the relay byte's 0x06 dropped"},
    {Exchange::ArchiveSettings, "double-echo@0x23:0", kNoReport, kSettingsDone, kDone, kAllButtons,
     kSettingsTimer, kHeld, "only the first byte is judged"},
    {Exchange::ArchiveSettings, "stray@0x1F:0", kNoReport, kSettingsDone, kDone, kAllButtons, kSettingsTimer,
     kHeld, "only the first byte is judged"},
    {Exchange::ArchiveSettings, "split@0x19:0", kNoReport, kSettingsDone, kDone, kAllButtons, kSettingsTimer,
     kHeld, "60 ms late, well before the read"},
    {Exchange::ArchiveSettings, "hangup@0x23", fatal(303), kMessage, kMissed, kArchiveBackOnly, kNone, kHeld,
     "the line drops at 0x23: only Zpět is left"},
};

struct ExchangeInfo {
    Exchange exchange;
    const char* name;
    ExchangeWindow window;
    const char* done;
};

constexpr ExchangeInfo kExchanges[] = {
    {Exchange::Handshake, "Handshake (0x01)", ExchangeWindow::Main, "\"ZYL připojen na COM3.\" logged"},
    {Exchange::LiftName, "Lift name (0x1E)", ExchangeWindow::Main, "\"Název výtahu vymazán\" logged"},
    {Exchange::RecordSize, "Record size (0x23)", ExchangeWindow::Main,
     "\"Nastaven počet znaků komentáře na 50\" logged"},
    {Exchange::AccessTime, "Access time (0x1F)", ExchangeWindow::Main,
     "\"Nastaven čas přístupu na 5s\" logged"},
    {Exchange::RelayByte, "Relay byte (0x19)", ExchangeWindow::Main,
     "\"Nastavena nastavení pro relé\" logged"},
    {Exchange::AccessCode, "Access code (0x20)", ExchangeWindow::Main,
     "\"Nastaven přístupový kód 4827\" logged"},
    {Exchange::Clock, "Clock (0x24)", ExchangeWindow::Main, "\"Nastaven aktuální čas\" logged"},
    {Exchange::EraseKeys, "Erase keys (0x18)", ExchangeWindow::Main, "\"Všechny klíce byly smazány\" logged"},
    {Exchange::EraseLogs, "Erase logs (0x28)", ExchangeWindow::Main, "\"Všechny logy byly smazány\" logged"},
    {Exchange::PollReader, "Idle poll: reader (0x6B)", ExchangeWindow::Main,
     "the first cycle selected the row of the key held at the reader"},
    {Exchange::PollKeepAlive, "Idle poll: keep-alive (0x05)", ExchangeWindow::Main,
     "the first cycle was acknowledged"},
    {Exchange::KeyDialogReader, "Key dialog: reader (0x6B)", ExchangeWindow::KeyDialog,
     "the first cycle showed the key held at the reader"},
    {Exchange::KeyWrite, "Key write (0x11)", ExchangeWindow::Main,
     "\"Klíč byl uložen\" logged and the unit's record equal to the image's"},
    {Exchange::KeyDelete, "Key delete (0x13)", ExchangeWindow::Main, "\"Klíč s ID 3 byl vymazán!\" logged"},
    {Exchange::ArchiveKeepAlive, "Archive: keep-alive (0x05)", ExchangeWindow::Archive,
     "the first cycle was acknowledged"},
    {Exchange::ArchiveErase, "Archive: erase keys (0x18)", ExchangeWindow::Archive,
     "\"Všechny klíče byly smazány\" logged"},
    {Exchange::ImageWrite, "Archive: image write (0x1D)", ExchangeWindow::Archive,
     "\"Hotovo\" logged and the unit's memory equal to the file's image"},
    {Exchange::ArchiveSettings, "Archive: settings write (0x23, 0x1F, 0x19)", ExchangeWindow::Archive,
     "\"Nastavena nová nastavení pro relé\" logged"},
};
static_assert(std::size(kExchanges) == kExchangeCount);

const ExchangeInfo& infoOf(Exchange exchange) {
    for (const ExchangeInfo& info : kExchanges) {
        if (info.exchange == exchange) {
            return info;
        }
    }
    return kExchanges[0];
}

}  // namespace

std::span<const FaultCell> faultMatrix() {
    return kCells;
}

const char* exchangeName(Exchange exchange) {
    return infoOf(exchange).name;
}

const char* exchangeDone(Exchange exchange) {
    return infoOf(exchange).done;
}

ExchangeWindow windowOf(Exchange exchange) {
    return infoOf(exchange).window;
}

const char* windowName(ExchangeWindow window) {
    switch (window) {
        case ExchangeWindow::Main:
            return "main";
        case ExchangeWindow::KeyDialog:
            return "key dialog";
        case ExchangeWindow::Archive:
            return "archive";
    }
    return "";
}

const char* columnName(FaultColumn column) {
    static constexpr std::array<const char*, kFaultColumnCount> kNames = {
        "Silence",      "Wrong byte", "Dropped echo / byte", "Doubled echo / byte", "Stray byte",
        "Split answer", "Hang-up",    "Slow erase"};
    return kNames[static_cast<std::size_t>(column)];
}

bool columnOf(const FaultCell& cell, FaultColumn& column) {
    const std::optional<Fault> fault = parseFault(cell.fault);
    if (!fault) {
        return false;
    }
    switch (fault->kind) {
        case FaultKind::Silence:
            column = FaultColumn::Silence;
            return true;
        case FaultKind::WrongByte:
            column = FaultColumn::WrongByte;
            return true;
        case FaultKind::DropEcho:
            column = FaultColumn::DroppedByte;
            return true;
        case FaultKind::DoubleEcho:
            column = FaultColumn::DoubledByte;
            return true;
        case FaultKind::StrayByte:
            column = FaultColumn::StrayByte;
            return true;
        case FaultKind::SplitAnswer:
            column = FaultColumn::SplitAnswer;
            return true;
        case FaultKind::HangUp:
            column = FaultColumn::HangUp;
            return true;
        case FaultKind::SlowErase:
            column = FaultColumn::SlowErase;
            return true;
        default:
            return false;
    }
}

bool columnApplies(Exchange exchange, FaultColumn column) {
    if (column != FaultColumn::SlowErase) {
        return true;
    }
    return exchange == Exchange::EraseKeys || exchange == Exchange::EraseLogs ||
           exchange == Exchange::ArchiveErase;
}

std::string outcomeLabel(const FaultCell& cell) {
    if (cell.report.code != 0) {
        static constexpr std::array<const char*, 4> kKinds = {"", "Fatal", "Disconnect", "Logged"};
        return std::to_string(cell.report.code) + " " + kKinds[static_cast<std::size_t>(cell.report.kind)];
    }
    if (cell.done) {
        return "unnoticed";
    }
    // Nothing reported and the work did not get through: either the operation goes on
    // (its next cycle tries again) or it ended on a line of its own.
    return cell.timer != 0 ? "missed" : cell.shows;
}

std::string reportMessage(const Report& report) {
    const std::string code = std::to_string(report.code);
    switch (report.kind) {
        case ErrorKind::Fatal:
            return "Zásadní chyba číslo " + code + "!\r\nProsím vypněte a zapněte ZYL a tento program.";
        case ErrorKind::Disconnect:
            return "Chyba " + code + " - ZYL odpojeno.";
        case ErrorKind::Logged:
            break;
    }
    return {};
}

std::string buttonsText(ExchangeWindow window, int buttons) {
    if (buttons == kAllButtons) {
        return "all six";
    }
    if (buttons == kNoButton) {
        return "none";
    }
    static constexpr std::array<int, 6> kMainIds = {1000, 1001, 1002, 1003, 1004, 1005};
    static constexpr std::array<int, 6> kArchiveIds = {1036, 1038, 1041, 1040, 1039, 2};
    const auto& ids = window == ExchangeWindow::Archive ? kArchiveIds : kMainIds;
    std::string text;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (buttons & (1 << i)) {
            text += (text.empty() ? "" : ", ") + std::to_string(ids[i]);
        }
    }
    return text;
}
