#pragma once

// How the PC reaches the unit; selects the handshake's second byte.
enum class LinkKind : int { Usb = 1, Bluetooth = 2 };
