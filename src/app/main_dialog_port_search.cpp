// The connect command and the port search: ports are opened one after another until one
// opens and takes the line settings; the handshake then decides whether a unit is there.

#include <algorithm>
#include <string>
#include <vector>

#include "code_page_1250.h"
#include "connect_dialog.h"
#include "cp1250_literal.h"
#include "main_dialog.h"
#include "port_link.h"
#include "unit_commands.h"
#include "window.h"

namespace {

// The log box does not wrap and shows about 70 characters, so a note goes in as lines of
// at most that, broken at spaces, the lines after the first indented. Notes are code page
// 1250, one byte a character.
constexpr std::size_t kNoteWidth = 70;
constexpr std::string_view kContinuation = "  ";

std::vector<std::string> noteLines(std::string_view note) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < note.size()) {
        const std::size_t end = std::min(note.find(' ', at), note.size());
        const std::string_view word = note.substr(at, end - at);
        at = end + 1;
        if (word.empty()) {
            continue;
        }
        if (line.empty()) {
            line = word;
        } else if (line.size() + 1 + word.size() <= kNoteWidth) {
            line += ' ';
            line += word;
        } else {
            lines.push_back(line);
            line = kContinuation;
            line += word;
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

std::string folderNote(const IgnoredFolder& folder) {
    std::string note;
    note += "Složka portů "_cp;
    note += utf8ToCp1250(folder.path);
    switch (folder.fault) {
        case FolderFault::NotFolder:
            return note + std::string(" se nepoužívá: není to složka, ale soubor nebo odkaz."_cp);
        case FolderFault::NotOwned:
            return note + std::string(" se nepoužívá: patří jinému uživateli."_cp);
        case FolderFault::OpenToOthers:
            return note + std::string(
                              " se nepoužívá: mají k ní přístup i jiní uživatelé "
                              "(nastavte chmod 700)."_cp);
        case FolderFault::None:
            break;
    }
    return {};
}

std::string joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) {
        if (!text.empty()) {
            text += ", ";
        }
        text += item;
    }
    return text;
}

}  // namespace

void MainDialog::onConnect() {
    ConnectDialog dialog;
    dialog.prompt = "Vložte přístupový kód:"_cp;
    dialog.showLinkChoice = 1;
    s_.listClicked = 0;
    clearFloorChecks();
    if (window().runModal(dialog) != Dialog::kOk) {
        return;
    }
    s_.accessCode = dialog.accessCode;
    s_.linkKind = dialog.linkKind;
    logLine("Hledám ZYL..."_cp);
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
        // A logout while the port opened destroyed the window: nothing more is sent.
        if (!isRunning()) {
            port.close();
            return;
        }
        if (port.status() == PortStatus::Ready) {
            s_.portOpen = 1;
            discardInput();
            sendByte(unit::kEndOfLink);
            logLine("Nalezen Port COM" + std::to_string(p));
            beginHandshake();
            return;
        }
        s_.portOpen = 0;
        if (const std::string refusal = port.lastRefusal(); !refusal.empty()) {
            refusedPorts_.push_back(utf8ToCp1250(refusal));
        }
        if (const std::string busy = port.lastBusy(); !busy.empty()) {
            busyPorts_.push_back(utf8ToCp1250(busy));
        }
        // Repaint between tries: opening a port can take a moment (a Bluetooth port connects
        // when it is opened). User input waits, since the buttons are still enabled here.
        window().paintNow();
    }
    logLine("ZYL nenalezeno!");
    logSkippedPorts();
    enableButtons();
}

// A Bluetooth port connects while it opens; the log says so. Windows does not say what
// kind of port keeps an open waiting, so the user's choice of link picks the words.
void MainDialog::onLinkWait(int portNumber, LinkWaitStep step) {
    const std::string port = std::to_string(portNumber);
    const bool bluetooth = s_.linkKind == LinkKind::Bluetooth;
    switch (step) {
        case LinkWaitStep::Begun:
            logLine(bluetooth ? std::string("Čekám na spojení Bluetooth na COM"_cp) + port + "..."
                              : std::string("Čekám na COM"_cp) + port + "...");
            break;
        case LinkWaitStep::Failed:
            logLine(std::string("Spojení Bluetooth na COM"_cp) + port + " selhalo.");
            break;
        case LinkWaitStep::TimedOut:
            logLine(bluetooth ? std::string("Spojení Bluetooth na COM"_cp) + port +
                                    std::string(" se nenavázalo včas."_cp)
                              : "COM" + port + std::string(" se neotevřel včas."_cp));
            break;
        case LinkWaitStep::Pending:
            break;
    }
    window().paintNow();
}

// A port the user may not open or that another program holds counts as absent, and an
// unsafe port folder is ignored, but a Linux user should not be left guessing why a unit
// that is plugged in was not found. The newest line is on top, so the notes' lines go in
// last first and read top-down.
void MainDialog::logSkippedPorts() {
    std::vector<std::string> notes;
    if (!refusedPorts_.empty()) {
        notes.push_back(std::string("Porty bez oprávnění: "_cp) + joined(refusedPorts_) +
                        std::string(" - přidejte uživatele do skupiny, která k nim dává "
                                    "přístup (obvykle dialout), a přihlaste se znovu."_cp));
    }
    if (!busyPorts_.empty()) {
        notes.push_back(std::string("Porty obsazené jiným programem: "_cp) + joined(busyPorts_) +
                        std::string(link_.port().namesBusyHolders()
                                        ? " - ukončete program, který port drží "
                                          "(často ModemManager nebo brltty), a zkuste to znovu."_cp
                                        : " - ukončete program, který port používá (Windows ho "
                                          "nejmenuje), a zkuste to znovu."_cp));
    }
    if (const IgnoredFolder folder = link_.port().ignoredFolder(); folder.fault != FolderFault::None) {
        notes.push_back(folderNote(folder));
    }
    std::vector<std::string> lines;
    for (const std::string& note : notes) {
        for (std::string& line : noteLines(note)) {
            lines.push_back(std::move(line));
        }
    }
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        logLine(*line);
    }
}
