#pragma once

// Where the main window's link stands, as the last report or handshake left it.
enum class LinkState {
    NotConnected,  // at start, and after a lost link: only the connect button works
    Connected,     // a unit accepted the access code
    Dead,          // a fatal error: nothing works until the program is started again
};
