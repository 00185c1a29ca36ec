#pragma once

#include <array>
#include <string>

#include "key_list.h"
#include "key_record.h"
#include "link_kind.h"
#include "link_state.h"
#include "memory_image.h"

// The main window's data: the mirror of the unit's settings, the memory image and its key
// list, and the step counters and flags of the timer operations. Kept apart from the
// widgets so that every operation's state can be read (and set up) in one place.
struct MainDialogState {
    // Erase of all keys and logs.
    int progressCount = 0;  // 0x0A bytes since the last "*" mark
    int eraseKeys = 0;      // 1 = keys pass, 0 = logs pass
    int eraseStep = 0;

    int editOnDoubleClick = 0;

    // Key write: the records to write, ended by -1.
    int writeIndex = 0;
    std::array<int, 101> writeList{-1};
    int addedCount = 0;  // keys stored in the current add-keys run

    int selectedRow = -1;  // the row the program has highlighted; -1 = none
    int listClicked = 0;
    int searchAll = 0;      // 1 = automatic search over the ports
    int writeLiftName = 0;  // 1 while the lift-name phase of the settings write is to run
    std::string liftName;   // code page 1250
    // The unit takes at most this many characters of the lift name.
    static constexpr int kMaxLiftName = 49;
    KeyCode readerKey{};  // last code reported by the unit's reader

    LinkKind linkKind = LinkKind::Usb;
    int comPort = 0;
    int accessCode = 0;
    int missedPolls = 0;  // poll cycles in a row without 0x06

    // Buttons 1000..1005. Connect (1004) has its own flag, and enableButtons() enables it
    // whatever its flag says.
    static constexpr int kButtonCount = 6;
    using ButtonFlags = std::array<int, kButtonCount>;
    static constexpr ButtonFlags kNotConnectedButtons{0, 0, 0, 0, 1, 0};  // only connect
    static constexpr ButtonFlags kConnectedButtons{1, 1, 1, 1, 0, 1};     // all the key commands
    ButtonFlags buttonEnabled{};

    int editAfterDelete = 0;     // 1 = after the delete, write the same record again
    std::string pendingComment;  // code page 1250
    FloorMask pendingFloors{};
    KeyCode pendingKey{};
    int pendingId = 0;
    int deleteId = 0;

    KeyList keyList;  // rows and free slots of the key list
    MemoryImage image{};

    int mainRelayInvert = 0;
    int relayInvert = 0;
    int recordSize = 100;

    int connectStep = 0;
    int pollStep = 0;
    int factoryStep = 0;
    int deleteStep = 0;
    int writeStep = 0;

    int accessTime = 0;  // seconds, 0 = permanent access

    int currentTimerId = 0;
    int portOpen = 0;
    LinkState linkState = LinkState::NotConnected;  // as the last report or handshake left it
};
