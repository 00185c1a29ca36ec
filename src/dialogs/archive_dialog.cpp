#include "archive_dialog.h"

#include <QFile>
#include <QFont>
#include <QGroupBox>
#include <QPushButton>

#include "code_page_1250.h"
#include "confirm_dialog.h"
#include "cp1250_literal.h"
#include "csv_export.h"
#include "desktop.h"
#include "dialog_units.h"
#include "image_file.h"
#include "main_window_link.h"
#include "window_timers.h"

namespace {

const QString kTimerError = QStringLiteral("Timer error!");

// The memory library opens files by narrow path; hand it the name in the file system's
// encoding.
std::string filePath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString reason(const FileResult& result) {
    return QString::fromLocal8Bit(result.detail.c_str());
}

Desktop::FileFilter imageFileFilter() {
    return {QString::fromLatin1(kImageFileFilter),
            QStringLiteral("*.") + QString::fromLatin1(kImageFileExtension),
            QString::fromLatin1(kImageFileExtension)};
}

Desktop::FileFilter csvFileFilter() {
    return {QString::fromLatin1(kCsvFilter), QStringLiteral("*.") + QString::fromLatin1(kCsvExtension),
            QString::fromLatin1(kCsvExtension)};
}

}  // namespace

ArchiveDialog::ArchiveDialog(MainWindowLink& link, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      link_(link),
      timers_(new WindowTimers([this](int id) { onTimer(id); }, this)) {
    createControls();
}

void ArchiveDialog::createControls() {
    setWindowTitle(QStringLiteral("ZYL key - Archiv"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    const DialogUnits units(this);
    setFixedSize(units.toPixels(167, 130));

    auto makeButton = [&](int id, const QString& text, int x, int y, int w, int h) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::number(id));
        units.place(b, x, y, w, h);
        return b;
    };
    auto makeGroup = [&](int id, int x, int y, int w, int h) {
        auto* g = new QGroupBox(this);
        g->setObjectName(QString::number(id));
        units.place(g, x, y, w, h);
        // The frames are drawn behind the buttons they surround and never take a click.
        g->lower();
        g->setAttribute(Qt::WA_TransparentForMouseEvents);
    };

    // Created in the template's order, which is also the tab order, so the focus starts
    // on "Zpět".
    QPushButton* back = makeButton(kBackButton, QStringLiteral("Zpět"), 110, 109, 50, 14);
    makeGroup(kUpperGroup, 7, 7, 153, 61);
    QPushButton* copyToPc =
        makeButton(kCopyToPcButton, QStringLiteral("Zkopírovat paměť z ZYL do PC"), 21, 16, 126, 14);
    QPushButton* copyToUnit =
        makeButton(kCopyToUnitButton, QStringLiteral("Zkopírovat paměť z PC do ZYL"), 21, 31, 126, 14);
    QPushButton* eraseLogs =
        makeButton(kEraseLogsButton, QStringLiteral("Smazat všechny logy z ZYL"), 21, 88, 126, 14);
    QPushButton* eraseKeys =
        makeButton(kEraseKeysButton, QStringLiteral("Smazat všechny klíče z ZYL"), 21, 73, 126, 14);
    makeGroup(kLowerGroup, 7, 64, 153, 44);
    QPushButton* exportCsv =
        makeButton(kExportButton, QStringLiteral("Exportovat paměť z ZYL do souboru"), 21, 45, 126, 14);

    buttons_ = {copyToPc, copyToUnit, exportCsv, eraseKeys, eraseLogs, back};

    connect(back, &QPushButton::clicked, this, &QDialog::reject);
    connect(copyToPc, &QPushButton::clicked, this, &ArchiveDialog::onCopyToPc);
    connect(copyToUnit, &QPushButton::clicked, this, &ArchiveDialog::onCopyToUnit);
    connect(exportCsv, &QPushButton::clicked, this, &ArchiveDialog::onExport);
    connect(eraseKeys, &QPushButton::clicked, this, &ArchiveDialog::onEraseKeys);
    connect(eraseLogs, &QPushButton::clicked, this, &ArchiveDialog::onEraseLogs);
}

QPushButton* ArchiveDialog::button(int id) const {
    return findChild<QPushButton*>(QString::number(id));
}

void ArchiveDialog::onInitDialog() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    step = 0;
    keysErased = 0;
    imageChanged = 0;
    progressCount = 0;
    missCount = 0;
    buttons_[5]->setFocus();
    // Refused, the dialog stays open without a keep-alive until an operation starts.
    switchTimer(kKeepAliveTimer, kKeepAlivePeriod);
}

void ArchiveDialog::showEvent(QShowEvent* event) {
    onInitDialog();
    QDialog::showEvent(event);
}

void ArchiveDialog::done(int result) {
    stopTimer();
    QDialog::done(result);
}

// Button states: 1036, 1038, 1041, 1040, 1039, then "Zpět".
void ArchiveDialog::setButtons(bool copyToPc, bool others, bool back) {
    buttons_[0]->setEnabled(copyToPc);
    for (int i = 1; i <= 4; ++i) {
        buttons_[i]->setEnabled(others);
    }
    buttons_[5]->setEnabled(back);
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
    timerId = timers_->start(id, periodMs);
    if (timerId == 0) {
        Desktop::current().messageBox(this, kTimerError);
        return false;
    }
    return true;
}

void ArchiveDialog::stopTimer() {
    timers_->stop(timerId);
}

bool ArchiveDialog::confirm(const QString& sentence) {
    ConfirmDialog dialog(this);
    dialog.text = sentence;
    return Desktop::current().runModal(dialog) == QDialog::Accepted;
}

void ArchiveDialog::reportFileProblem(const QString& text) {
    link_.logLine(utf8ToCp1250(text.toStdString()));
    Desktop::current().messageBox(this, text);
}

void ArchiveDialog::onEraseKeys() {
    startErase(1, QStringLiteral("Chci smazat VŠECHNY klíče z ZYL"));
}

void ArchiveDialog::onEraseLogs() {
    startErase(0, QStringLiteral("Chci smazat VŠECHNY logy z ZYL"));
}

void ArchiveDialog::startErase(int keys, const QString& sentence) {
    if (!confirm(sentence)) {
        return;
    }
    eraseKeys = keys;
    if (switchTimer(kEraseTimer, kErasePeriod)) {
        step = 0;
    }
}

void ArchiveDialog::onCopyToUnit() {
    if (!confirm(QStringLiteral("Chci přepsat VŠECHNY klíče ve ZYL"))) {
        return;
    }
    const QString path = Desktop::current().openFileName(this, imageFileFilter());
    if (path.isEmpty()) {
        return;
    }

    ArchiveSettings settings{accessTime, recordSize, relayInverted, mainRelayInverted};
    const FileResult result = readImageFile(filePath(path), settings, image);
    switch (result.status) {
        case FileResult::Status::Ok:
            break;
        case FileResult::Status::Damaged:
            link_.reportError(510, ErrorKind::Logged, "Soubor je poškozen"_cp);
            return;
        case FileResult::Status::Truncated:
            link_.reportError(511, ErrorKind::Logged,
                              std::string("Soubor je poškozen na pozici "_cp) + std::to_string(result.position));
            return;
        default:
            reportFileProblem(QStringLiteral("Soubor nelze otevřít: %1").arg(reason(result)));
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
    const QString path = Desktop::current().saveFileName(this, imageFileFilter());
    if (path.isEmpty()) {
        return;
    }
    const ArchiveSettings settings{accessTime, recordSize, relayInverted, mainRelayInverted};
    const FileResult result = writeImageFile(filePath(path), settings, image);
    if (!result.ok()) {
        reportFileProblem(QStringLiteral("Soubor nelze uložit: %1").arg(reason(result)));
    }
}

void ArchiveDialog::onExport() {
    const QString path = Desktop::current().saveFileName(this, csvFileFilter());
    if (path.isEmpty()) {
        return;
    }
    const FileResult result = writeCsvFile(filePath(path), image, recordSize);
    if (!result.ok()) {
        reportFileProblem(QStringLiteral("Soubor nelze uložit: %1").arg(reason(result)));
        return;
    }
    link_.logLine("Data byla exportována do souboru"_cp);
}
