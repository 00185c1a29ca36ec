#include "archive_dialog.h"

#include "code_page_1250.h"
#include "confirm_dialog.h"
#include "cp1250_literal.h"
#include "csv_export.h"
#include "image_file.h"
#include "main_window_link.h"
#include "window.h"

namespace {

constexpr std::string_view kTimerError = "Timer error!"_cp;

constexpr Window::FileFilter kImageFiles{kImageFileFilter, "*.zrd"_cp, kImageFileExtension};
constexpr Window::FileFilter kCsvFiles{kCsvFilter, "*.csv"_cp, kCsvExtension};

// What went wrong with a file, with the system's reason (its own text, UTF-8) after it.
std::string fileProblem(std::string_view what, const FileResult& result) {
    return std::string(what) + utf8ToCp1250(result.detail);
}

}  // namespace

ArchiveDialog::ArchiveDialog(MainWindowLink& link) : Dialog(kArchiveDialogTemplate), link_(link) {}

void ArchiveDialog::onCommand(int controlId, Notification notification) {
    static constexpr CommandRoute<ArchiveDialog> kRoutes[] = {
        {kCopyToPcButton, Notification::Clicked, &ArchiveDialog::onCopyToPc},
        {kCopyToUnitButton, Notification::Clicked, &ArchiveDialog::onCopyToUnit},
        {kExportButton, Notification::Clicked, &ArchiveDialog::onExport},
        {kEraseKeysButton, Notification::Clicked, &ArchiveDialog::onEraseKeys},
        {kEraseLogsButton, Notification::Clicked, &ArchiveDialog::onEraseLogs},
    };
    if (!routeCommand<ArchiveDialog>(*this, kRoutes, controlId, notification)) {
        Dialog::onCommand(controlId, notification);
    }
}

void ArchiveDialog::onInitDialog() {
    step = 0;
    keysErased = 0;
    imageChanged = 0;
    progressCount = 0;
    missCount = 0;
    window().setFocus(kBackButton);
    // Refused, the dialog stays open without a keep-alive until an operation starts.
    switchTimer(kKeepAliveTimer, kKeepAlivePeriod);
}

void ArchiveDialog::onDestroy() {
    stopTimer();
}

// Button states: 1036, then 1038, 1041, 1040, 1039, then "Zpět".
void ArchiveDialog::setButtons(bool copyToPc, bool others, bool back) {
    window().setEnabled(kCopyToPcButton, copyToPc);
    for (int id : {kCopyToUnitButton, kExportButton, kEraseKeysButton, kEraseLogsButton}) {
        window().setEnabled(id, others);
    }
    window().setEnabled(kBackButton, back);
}

void ArchiveDialog::disableButtons() {
    setButtons(false, false, false);
}

void ArchiveDialog::enableButtons() {
    setButtons(true, true, true);
}

void ArchiveDialog::enableAfterFailure() {
    setButtons(true, false, true);
}

void ArchiveDialog::failSettingsStep(int code) {
    stopTimer();
    link_.reportError(code, ErrorKind::Fatal, {});
    setButtons(false, false, true);
}

void ArchiveDialog::failOperation(int code, ErrorKind kind) {
    stopTimer();
    link_.reportError(code, kind, {});
    enableAfterFailure();
}

bool ArchiveDialog::switchTimer(int id, int periodMs) {
    stopTimer();
    timerId = window().startTimer(id, periodMs);
    if (timerId == 0) {
        window().messageBox(kTimerError);
        return false;
    }
    return true;
}

void ArchiveDialog::stopTimer() {
    window().stopTimer(timerId);
}

bool ArchiveDialog::confirm(std::string_view sentence) {
    ConfirmDialog dialog;
    dialog.text = sentence;
    return window().runModal(dialog) == Dialog::kOk;
}

void ArchiveDialog::reportFileProblem(const std::string& text) {
    link_.logLine(text);
    window().messageBox(text);
}

void ArchiveDialog::onEraseKeys() {
    startErase(1, "Chci smazat VŠECHNY klíče z ZYL"_cp);
}

void ArchiveDialog::onEraseLogs() {
    startErase(0, "Chci smazat VŠECHNY logy z ZYL"_cp);
}

void ArchiveDialog::startErase(int keys, std::string_view sentence) {
    if (!confirm(sentence)) {
        return;
    }
    eraseKeys = keys;
    if (switchTimer(kEraseTimer, kErasePeriod)) {
        step = 0;
    }
}

void ArchiveDialog::onCopyToUnit() {
    if (!confirm("Chci přepsat VŠECHNY klíče ve ZYL"_cp)) {
        return;
    }
    const std::string path = window().openFileName(kImageFiles);
    if (path.empty()) {
        return;
    }

    ArchiveSettings settings{accessTime, recordSize, relayInverted, mainRelayInverted};
    const FileResult result = readImageFile(path, settings, image);
    switch (result.status) {
        case FileResult::Status::Ok:
            break;
        case FileResult::Status::Damaged:
            link_.reportError(510, ErrorKind::Logged, "Soubor je poškozen"_cp);
            return;
        case FileResult::Status::Truncated:
            link_.reportError(
                511, ErrorKind::Logged,
                std::string("Soubor je poškozen na pozici "_cp) + std::to_string(result.position));
            return;
        default:
            reportFileProblem(fileProblem("Soubor nelze otevřít: "_cp, result));
            return;
    }
    accessTime = settings.accessTime;
    recordSize = settings.recordSize;
    relayInverted = settings.relayInverted;
    mainRelayInverted = settings.mainRelayInverted;

    imageChanged = 1;
    link_.logLine("Soubor načten"_cp);
    if (switchTimer(kWriteTimer, kWritePeriod)) {
        step = 0;
    }
}

void ArchiveDialog::onCopyToPc() {
    const std::string path = window().saveFileName(kImageFiles);
    if (path.empty()) {
        return;
    }
    const ArchiveSettings settings{accessTime, recordSize, relayInverted, mainRelayInverted};
    const FileResult result = writeImageFile(path, settings, image);
    if (!result.ok()) {
        reportFileProblem(fileProblem("Soubor nelze uložit: "_cp, result));
    }
}

void ArchiveDialog::onExport() {
    const std::string path = window().saveFileName(kCsvFiles);
    if (path.empty()) {
        return;
    }
    const FileResult result = writeCsvFile(path, image, recordSize);
    if (!result.ok()) {
        reportFileProblem(fileProblem("Soubor nelze uložit: "_cp, result));
        return;
    }
    link_.logLine("Data byla exportována do souboru"_cp);
}
