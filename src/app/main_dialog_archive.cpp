#include "archive_dialog.h"
#include "desktop.h"
#include "main_dialog.h"
#include "qt_dialog_window.h"

// The archive works on its own copy of the image and the settings; the main window's timer
// stays stopped while it drives the link, and takes back what the two flags say.
void MainDialog::onArchive() {
    ArchiveDialog dialog(*this);
    dialog.image = s_.image;
    stopCurrentTimer();
    dialog.accessTime = s_.accessTime;
    dialog.recordSize = s_.recordSize;
    dialog.mainRelayInverted = s_.mainRelayInvert;
    dialog.relayInverted = s_.relayInvert;
    s_.listClicked = 0;
    clearFloorChecks();

    QtDialogWindow window(dialog, this);
    Desktop::current().runModal(window);

    // A loaded file first, so that an erase of all keys afterwards in the same showing wins.
    if (dialog.imageChanged == 1) {
        s_.image = dialog.image;
        s_.accessTime = dialog.accessTime;
        s_.recordSize = dialog.recordSize;
        s_.mainRelayInvert = dialog.mainRelayInverted;
        s_.relayInvert = dialog.relayInverted;
        rebuildKeyList();
        showSettings();
    }
    if (dialog.keysErased == 1) {
        clearImage();
    }
    // A fatal error or a lost link reported by the dialog stands: polling again would
    // enable the buttons of a dead or disconnected window.
    if (s_.linkState != LinkState::Connected) {
        return;
    }
    returnToIdle(s_.currentTimerId);
}
