// The factory settings on timer 4: the lift name, then record size, access time, relay
// byte, access code and the PC's clock, each confirmed by the unit.

#include <algorithm>

#include "cp1250_literal.h"
#include "exchange_judges.h"
#include "main_dialog.h"
#include "unit_commands.h"
#include "window.h"

namespace {

// The factory values, as the log reports them: "5s" of access time and "50" comment
// characters.
constexpr int kFactoryAccessTime = 5;
constexpr int kFactoryRecordSize = kCommentOffset + 50;

// After the clock's last byte the unit sets its clock; its acknowledgement is read only
// after these ticks.
constexpr int kClockEchoStep = 20;
constexpr int kClockAckStep = 30;
constexpr int kEraseStep = 31;

}  // namespace

void MainDialog::loadFactoryDefaults() {
    stopCurrentTimer();
    s_.writeLiftName = 1;
    s_.accessTime = kFactoryAccessTime;
    s_.recordSize = kFactoryRecordSize;
    s_.mainRelayInvert = 0;
    s_.relayInvert = 0;
    s_.accessCode = unit::kFactoryAccessCode;
    s_.liftName.clear();
    // The list's rows are only valid for the record size they were built with.
    rebuildKeyList();
    s_.factoryStep = 0;
    discardInput();
    startMainTimer(kFactoryTimer, kFactoryPeriod);
}

void MainDialog::stepFactorySettings() {
    if (s_.writeLiftName) {
        stepLiftName();
    } else {
        stepSettings();
    }
}

// The name goes out one byte per tick from step 1, each echoed by the unit; at most
// kMaxLiftName characters, then 0xFF, whose echo the unit follows with one more 0xFF.
void MainDialog::stepLiftName() {
    const std::string& name = s_.liftName;
    const int endStep = 1 + std::min(static_cast<int>(name.size()), MainDialogState::kMaxLiftName);
    const int step = s_.factoryStep;
    const auto byteOf = [&](int at) {
        return at < endStep ? static_cast<std::uint8_t>(name[at - 1]) : unit::kNameEnd;
    };
    enum class NameStep { Command, FirstByte, NextByte, Check };
    const NameStep phase = step == 0         ? NameStep::Command
                           : step == 1       ? NameStep::FirstByte
                           : step <= endStep ? NameStep::NextByte
                                             : NameStep::Check;
    switch (phase) {
        case NameStep::Command:
            sendByte(unit::kLiftName);
            break;
        case NameStep::FirstByte:  // starts the echo chain
            setLastSentByte(byteOf(step));
            sendByte(byteOf(step));
            break;
        case NameStep::NextByte:  // the rest of the name, then 0xFF at endStep
            sendEchoed(byteOf(step));
            break;
        case NameStep::Check: {
            const int n = readAnswer();
            if (n == 2 && answerByte(1) == unit::kNameEnd && answerByte(0) == lastSentByte()) {
                logLine("Název výtahu vymazán"_cp);
            } else {
                reportError(301, ErrorKind::Logged, "Uložení názvu výtahu se nezdařilo!"_cp);
            }
            s_.writeLiftName = 0;
            s_.factoryStep = 0;
            return;
        }
    }
    ++s_.factoryStep;
}

void MainDialog::judgeAcknowledgement(std::string_view doneLine, int wrongCode, int silentCode) {
    if (const int code = acknowledgementError(readAnswer(), *this, {wrongCode, silentCode}); code != 0) {
        reportError(code, ErrorKind::Fatal, {});
    } else {
        logLine(doneLine);
    }
}

void MainDialog::stepSettings() {
    const std::uint8_t codeHigh = (s_.accessCode >> 8) & 0xFF;
    const std::uint8_t codeLow = s_.accessCode & 0xFF;
    switch (s_.factoryStep) {
        case 0:
            discardInput();
            sendByte(unit::kRecordSize);
            break;
        case 1:
            sendByte(s_.recordSize & 0xFF);
            break;
        case 2:
            judgeAcknowledgement("Nastaven počet znaků komentáře na 50"_cp, 302, 303);
            break;
        case 3:
            sendByte(unit::kAccessTime);
            break;
        case 4:
            sendByte(s_.accessTime & 0xFF);
            break;
        case 5:
            judgeAcknowledgement("Nastaven čas přístupu na 5s"_cp, 304, 305);
            break;
        case 6:
            sendByte(unit::kRelayByte);
            break;
        case 7:
            sendByte(unit::relayByte(s_.relayInvert, s_.mainRelayInvert, s_.accessTime,
                                     unit::kPermanentAccessMain));
            break;
        case 8:
            judgeAcknowledgement("Nastavena nastavení pro relé"_cp, 306, 307);
            break;
        case 9:
            sendByte(unit::kSetAccessCode);
            break;
        case 10:
            discardInput();
            sendByte(codeHigh);
            break;
        case 11: {
            // The unit answers the high byte alone, so the low byte waits for that echo.
            const int n = readAnswer();
            if (n == 1 && answerByte(0) == codeHigh) {
                sendByte(codeLow);
            } else {
                reportError(n == 1 ? 308 : 309, ErrorKind::Fatal, {});
            }
            break;
        }
        case 12: {
            const int n = readAnswer();
            if (n != 2) {
                reportError(311, ErrorKind::Fatal, {});
            } else if (answerByte(0) != codeLow) {
                reportError(310, ErrorKind::Fatal, {});
            } else if (answerByte(1) == unit::kAck) {
                logLine("Nastaven přístupový kód 4827"_cp);
            } else {
                reportError(312, ErrorKind::Fatal, {});
            }
            break;
        }
        case 13:
            discardInput();
            sendByte(unit::kClock);
            break;
        case 14: {
            // Each clock field carries the time of the tick in which it is sent.
            const std::uint8_t year = window().localTime().year % 100;
            setLastSentByte(year);
            sendByte(year);
            break;
        }
        case 15:
            sendEchoed(window().localTime().month);
            break;
        case 16:
            sendEchoed(window().localTime().day);
            break;
        case 17:
            sendEchoed(window().localTime().hour);
            break;
        case 18:
            sendEchoed(window().localTime().minute);
            break;
        case 19:
            sendEchoed(window().localTime().second);
            break;
        case kClockEchoStep:
            readAnswer();
            if (answerByte(0) != lastSentByte()) {
                reportError(320, ErrorKind::Fatal, {});
            }
            break;
        case 21:
        case 22:
        case 23:
        case 24:
        case 25:
        case 26:
        case 27:
        case 28:
        case 29:
            break;  // the unit sets its clock
        case kClockAckStep:
            judgeAcknowledgement("Nastaven aktuální čas"_cp, 321, 322);
            break;
        case kEraseStep:
            stopCurrentTimer();
            beginErase();
            return;
    }
    ++s_.factoryStep;
}
