// The factory settings on timer 4: the lift name, then record size, access time, relay
// byte, access code and the PC's clock, each confirmed by the unit.

#include "cp1250_literal.h"
#include "exchange_judges.h"
#include "main_dialog.h"
#include "unit_commands.h"
#include "window.h"

void MainDialog::loadFactoryDefaults() {
    stopCurrentTimer();
    s_.writeLiftName = 1;
    s_.accessTime = 5;
    s_.recordSize = 65;
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

// The name goes out one byte per tick, each echoed by the unit; at most 49 characters, then
// 0xFF, whose echo the unit follows with one more 0xFF.
void MainDialog::stepLiftName() {
    const std::string& name = s_.liftName;
    const int length = static_cast<int>(name.size());
    const int step = s_.factoryStep;
    if (step == 0) {
        sendByte(unit::kLiftName);
    } else if (step == 1) {
        const std::uint8_t first = length >= 1 ? static_cast<std::uint8_t>(name[0]) : unit::kNameEnd;
        setLastSentByte(first);
        sendByte(first);
    } else if (length >= 1 && step < length + 2 && step < 51) {
        const bool terminator = step == length + 1 || step >= 50;
        sendEchoed(terminator ? unit::kNameEnd : static_cast<std::uint8_t>(name[step - 1]));
    } else {
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
        case 20:
            readAnswer();
            if (answerByte(0) != lastSentByte()) {
                reportError(320, ErrorKind::Fatal, {});
            }
            break;
        case 30:
            judgeAcknowledgement("Nastaven aktuální čas"_cp, 321, 322);
            break;
        case 31:
            stopCurrentTimer();
            beginErase();
            return;
        default:
            break;  // 21..29: the unit sets its clock
    }
    ++s_.factoryStep;
}
