#include "archive_dialog.h"

#include <string_view>

#include "cp1250_literal.h"
#include "exchange_judges.h"
#include "main_window_link.h"
#include "unit_commands.h"

// The archive's exchanges with the unit, one step per tick. A byte sent in one tick is
// answered before the next, so each read step judges what the previous step asked for.

namespace {

// The keep-alive gives up after this many cycles in a row without an acknowledgement.
constexpr int kMaxMissedCycles = 2;
// One "*" for every this many image blocks: 64 for the whole image.
constexpr int kBlocksPerMark = 8;
constexpr int kLastBlock = unit::kImageBlocks - 1;

constexpr std::string_view kMark = "*"_cp;

}  // namespace

void ArchiveDialog::onTimer(int id) {
    switch (id) {
        case kKeepAliveTimer:
            stepKeepAlive();
            break;
        case kEraseTimer:
            stepErase();
            break;
        case kWriteTimer:
            stepImageWrite();
            break;
        case kSettingsTimer:
            stepSettingsWrite();
            break;
        default:
            break;
    }
}

// A ping every other tick; the unit has one tick to answer it.
void ArchiveDialog::stepKeepAlive() {
    switch (step) {
        case 0:
            link_.sendByte(unit::kKeepAlive);
            step = 1;
            break;
        case 1:
            step = 0;
            if (keepAliveLost(link_.readAnswer(), link_, missCount, kMaxMissedCycles)) {
                failOperation(600, ErrorKind::Disconnect);
            }
            break;
        default:
            break;
    }
}

void ArchiveDialog::stepErase() {
    const bool keys = eraseKeys == 1;
    const ErasePass pass = keys ? ErasePass::Keys : ErasePass::Logs;
    switch (step) {
        case 0:
            disableButtons();
            link_.discardInput();
            link_.sendByte(keys ? unit::kEraseKeys : unit::kEraseLogs);
            ++step;
            break;
        case 1:
            link_.sendByte(unit::kEraseMiddle);
            ++step;
            break;
        case 2:
            link_.sendByte(keys ? unit::kEraseKeysEnd : unit::kEraseLogsEnd);
            ++step;
            break;
        case 3:
            if (const int code = eraseAcceptError(link_.readAnswer(), link_, pass)) {
                failOperation(code, ErrorKind::Disconnect);
                return;
            }
            // The progress marks collect on a line of their own.
            link_.logLine({});
            ++step;
            break;
        default: {
            // progressCount carries over from one erase to the next, like the marks' line.
            const EraseProgress progress = judgeEraseProgress(link_.readAnswer(), link_, pass, progressCount);
            for (int i = 0; i < progress.marks; ++i) {
                link_.logMark(kMark);
            }
            switch (progress.outcome) {
                case EraseProgress::Outcome::Erasing:
                    break;
                case EraseProgress::Outcome::Done:
                    if (keys) {
                        link_.logLine("Všechny klíče byly smazány"_cp);
                        link_.clearImage();
                    } else {
                        link_.logLine("Všechny logy byly smazány"_cp);
                    }
                    enableButtons();
                    if (keys) {
                        keysErased = 1;
                    }
                    if (switchTimer(kKeepAliveTimer, kKeepAlivePeriod)) {
                        step = 0;
                    }
                    break;
                case EraseProgress::Outcome::Failed:
                    failOperation(progress.code, ErrorKind::Disconnect);
                    break;
            }
            break;
        }
    }
}

// The whole image in blocks of 128 bytes, one per tick. Each block's answer is judged in
// the tick that sends the next one; the last block's answer is flushed by the settings
// write.
void ArchiveDialog::stepImageWrite() {
    switch (step) {
        case 0:
            disableButtons();
            link_.discardInput();
            link_.sendByte(unit::kImageWrite);
            link_.sendByte(unit::kImageWrite2);
            link_.sendByte(unit::kImageWrite3);
            step = 1;
            break;
        case 1:
            if (link_.readAnswer() <= 0) {
                failOperation(530, ErrorKind::Fatal);
                return;
            }
            if (link_.answerByte(0) != unit::kImageReady) {
                failOperation(531, ErrorKind::Fatal);
                return;
            }
            step = 2;
            blockIndex = 0;
            // The block marks collect on a line of their own.
            link_.logLine({});
            break;
        case 2: {
            const int first = unit::kImageBlockSize * blockIndex;
            for (int i = 0; i < unit::kImageBlockSize; ++i) {
                link_.sendByte(image[first + i]);
            }
            if (blockIndex > 0) {
                if (link_.readAnswer() <= 0) {
                    failOperation(533, ErrorKind::Fatal);
                    return;
                }
                const std::uint8_t answer = link_.answerByte(0);
                if (answer != unit::kAck && answer != unit::kBlockAccepted) {
                    failOperation(532, ErrorKind::Fatal);
                    return;
                }
            }
            if (blockIndex % kBlocksPerMark == 0) {
                link_.logMark(kMark);
            }
            if (blockIndex == kLastBlock) {
                stopTimer();
                enableButtons();
                link_.logLine("Hotovo"_cp);
                blockIndex = 0;
                switchTimer(kSettingsTimer, kSettingsPeriod);
            } else {
                ++blockIndex;
            }
            break;
        }
        default:
            break;
    }
}

// The settings that give the image its meaning, each confirmed by the unit. Once the relay
// byte is confirmed the timer stays armed and its ticks do nothing; the keep-alive is not
// restarted.
void ArchiveDialog::stepSettingsWrite() {
    switch (blockIndex) {
        case 0:
            link_.sendByte(unit::kRecordSize);
            break;
        case 1:
            link_.discardInput();
            link_.sendByte(static_cast<std::uint8_t>(recordSize));
            break;
        case 2:
            if (const int code = acknowledgementError(link_.readAnswer(), link_, {302, 303})) {
                failSettingsStep(code);
                return;
            }
            link_.logLine("Nastaven nový počet znaků komentáře"_cp);
            break;
        case 3:
            link_.discardInput();
            link_.sendByte(unit::kAccessTime);
            break;
        case 4:
            link_.sendByte(static_cast<std::uint8_t>(accessTime));
            break;
        case 5:
            if (const int code = acknowledgementError(link_.readAnswer(), link_, {304, 305})) {
                failSettingsStep(code);
                return;
            }
            link_.logLine("Nastaven nový čas přístupu"_cp);
            break;
        case 6:
            link_.sendByte(unit::kRelayByte);
            break;
        case 7:
            link_.sendByte(
                unit::relayByte(relayInverted, mainRelayInverted, accessTime, unit::kPermanentAccessArchive));
            break;
        case 8:
            if (const int code = acknowledgementError(link_.readAnswer(), link_, {306, 307})) {
                failSettingsStep(code);
                return;
            }
            link_.logLine("Nastavena nová nastavení pro relé"_cp);
            break;
        default:
            return;
    }
    ++blockIndex;
}
