// The connect command and the port search: ports are opened one after another until one
// opens and takes the line settings; the handshake then decides whether a unit is there.

#include <QCoreApplication>

#include "connect_dialog.h"
#include "cp1250_literal.h"
#include "desktop.h"
#include "main_dialog.h"
#include "port_link.h"
#include "qt_dialog_window.h"
#include "unit_commands.h"

namespace {

// The log box does not wrap and shows about 70 characters, so a note goes in as lines of
// at most that, broken at spaces, the lines after the first indented.
constexpr int kNoteWidth = 70;
const QString kContinuation = QStringLiteral("  ");

QStringList noteLines(const QString& note) {
    QStringList lines;
    QString line;
    for (const QString& word : note.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (line.isEmpty()) {
            line = word;
        } else if (line.size() + 1 + word.size() <= kNoteWidth) {
            line += QLatin1Char(' ') + word;
        } else {
            lines << line;
            line = kContinuation + word;
        }
    }
    if (!line.isEmpty()) {
        lines << line;
    }
    return lines;
}

QString folderNote(const IgnoredFolder& folder) {
    const QString path = QString::fromStdString(folder.path);
    switch (folder.fault) {
        case FolderFault::NotFolder:
            return QStringLiteral("Složka portů %1 se nepoužívá: není to složka, ale soubor nebo odkaz.")
                .arg(path);
        case FolderFault::NotOwned:
            return QStringLiteral("Složka portů %1 se nepoužívá: patří jinému uživateli.").arg(path);
        case FolderFault::OpenToOthers:
            return QStringLiteral(
                       "Složka portů %1 se nepoužívá: mají k ní přístup i jiní uživatelé "
                       "(nastavte chmod 700).")
                .arg(path);
        case FolderFault::None:
            break;
    }
    return {};
}

}  // namespace

void MainDialog::onConnect() {
    ConnectDialog dialog;
    dialog.prompt = "Vložte přístupový kód:"_cp;
    dialog.showLinkChoice = 1;
    s_.listClicked = 0;
    clearFloorChecks();
    QtDialogWindow window(dialog, this);
    if (Desktop::current().runModal(window) != Dialog::kOk) {
        return;
    }
    s_.accessCode = dialog.accessCode;
    s_.linkKind = static_cast<LinkKind>(dialog.linkKind);
    logLine(QStringLiteral("Hledám ZYL..."));
    refusedPorts_.clear();
    busyPorts_.clear();
    s_.searchAll = 1;
    if (dialog.manualPort == 1) {
        searchPorts(dialog.portNumber, dialog.portNumber);
        s_.searchAll = 0;
    } else {
        searchPorts(kFirstComPort, kLastComPort);
    }
}

void MainDialog::searchPorts(int first, int last) {
    PortLink& port = link_.port();
    for (int p = first; p <= last; ++p) {
        s_.comPort = p;
        port.open(p);
        if (port.status() == PortStatus::Ready) {
            s_.portOpen = 1;
            discardInput();
            sendByte(unit::kEndOfLink);
            logLine(QStringLiteral("Nalezen Port COM%1").arg(p));
            s_.connectStep = 0;
            startOperation(kHandshakeTimer, kHandshakePeriod);
            return;
        }
        s_.portOpen = 0;
        if (const std::string refusal = port.lastRefusal(); !refusal.empty()) {
            refusedPorts_ << QString::fromStdString(refusal);
        }
        if (const std::string busy = port.lastBusy(); !busy.empty()) {
            busyPorts_ << QString::fromStdString(busy);
        }
        // Repaint between tries: opening a port can take a moment (a Bluetooth port connects
        // when it is opened). User input waits, since the buttons are still enabled here.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    logLine(QStringLiteral("ZYL nenalezeno!"));
    logSkippedPorts();
    enableButtons();
}

// An rfcomm port connects while it opens; the log says so, and the window keeps painting.
void MainDialog::onLinkWait(int portNumber, LinkWaitStep step) {
    switch (step) {
        case LinkWaitStep::Begun:
            logLine(QStringLiteral("Čekám na spojení Bluetooth na COM%1...").arg(portNumber));
            break;
        case LinkWaitStep::Failed:
            logLine(QStringLiteral("Spojení Bluetooth na COM%1 selhalo.").arg(portNumber));
            break;
        case LinkWaitStep::TimedOut:
            logLine(QStringLiteral("Spojení Bluetooth na COM%1 se nenavázalo včas.").arg(portNumber));
            break;
        case LinkWaitStep::Pending:
            break;
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// A port the user may not open or that another program holds counts as absent, and an
// unsafe port folder is ignored, but a Linux user should not be left guessing why a unit
// that is plugged in was not found. The newest line is on top, so the notes' lines go in
// last first and read top-down.
void MainDialog::logSkippedPorts() {
    QStringList notes;
    if (!refusedPorts_.isEmpty()) {
        notes << QStringLiteral(
                     "Porty bez oprávnění: %1 - přidejte uživatele do skupiny, která k nim dává "
                     "přístup (obvykle dialout), a přihlaste se znovu.")
                     .arg(refusedPorts_.join(QStringLiteral(", ")));
    }
    if (!busyPorts_.isEmpty()) {
        notes << QStringLiteral(
                     "Porty obsazené jiným programem: %1 - ukončete program, který port drží "
                     "(často ModemManager nebo brltty), a zkuste to znovu.")
                     .arg(busyPorts_.join(QStringLiteral(", ")));
    }
    if (const IgnoredFolder folder = link_.port().ignoredFolder(); folder.fault != FolderFault::None) {
        notes << folderNote(folder);
    }
    QStringList lines;
    for (const QString& note : notes) {
        lines << noteLines(note);
    }
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        logLine(*line);
    }
}
