#pragma once

#include <cstdint>

// Bytes ZylTool sends to a ZYL unit, and the answers it relies on. Parameters follow a
// command as single bytes, high byte first; there is no framing, length or checksum.
namespace unit {

// Commands.
inline constexpr std::uint8_t kHandshake = 0x01;  // then 0xA7/0xA6, 'Z', 'Y', 'L'
inline constexpr std::uint8_t kHandshakeUsb = 0xA7;
inline constexpr std::uint8_t kHandshakeBluetooth = 0xA6;
inline constexpr std::uint8_t kHandshakeZ = 0x5A;
inline constexpr std::uint8_t kHandshakeY = 0x59;
inline constexpr std::uint8_t kHandshakeL = 0x4C;
inline constexpr std::uint8_t kAccessCode = 0x07;  // after the handshake: code high, low
inline constexpr std::uint8_t kEndOfLink = 0x04;
inline constexpr std::uint8_t kKeepAlive = 0x05;
inline constexpr std::uint8_t kReadReader = 0x6B;  // answer: status + 12 key bytes
inline constexpr std::uint8_t kWriteKey = 0x11;    // record high, low, 12 key, 3 floor, comment..0x00
inline constexpr std::uint8_t kDeleteKey = 0x13;   // record high, low
inline constexpr std::uint8_t kEraseKeys = 0x18;   // then kEraseMiddle, kEraseKeysEnd
inline constexpr std::uint8_t kEraseLogs = 0x28;   // then kEraseMiddle, kEraseLogsEnd
inline constexpr std::uint8_t kEraseMiddle = 0x08;
inline constexpr std::uint8_t kEraseKeysEnd = 0x11;
inline constexpr std::uint8_t kEraseLogsEnd = 0x13;
inline constexpr std::uint8_t kLiftName = 0x1E;    // up to 49 name bytes, then kNameEnd
inline constexpr std::uint8_t kRecordSize = 0x23;  // 15 + comment length
inline constexpr std::uint8_t kAccessTime = 0x1F;  // seconds, 0 = permanent
inline constexpr std::uint8_t kRelayByte = 0x19;
inline constexpr std::uint8_t kSetAccessCode = 0x20;  // high byte; low byte
inline constexpr std::uint8_t kClock = 0x24;          // year%100, month, day, hour, minute, second
inline constexpr std::uint8_t kImageWrite = 0x1D;     // then kImageWrite2, kImageWrite3
inline constexpr std::uint8_t kImageWrite2 = 0x07;
inline constexpr std::uint8_t kImageWrite3 = 0x1A;
inline constexpr std::uint8_t kBeginAddKeys = 0x76;
inline constexpr std::uint8_t kEndAddKeys = 0x7A;

// Relay byte bits.
inline constexpr std::uint8_t kRelayInverted = 0x07;
inline constexpr std::uint8_t kMainRelayInverted = 0x38;
inline constexpr std::uint8_t kPermanentAccessMain = 0x80;     // as the main window sends it
inline constexpr std::uint8_t kPermanentAccessArchive = 0xC0;  // as the archive dialog sends it

// The relay byte for the settings; permanentAccess is the caller's bit for an access time
// of 0, since the two windows that send it differ there.
constexpr std::uint8_t relayByte(int relayInvert, int mainRelayInvert, int accessTime,
                                 std::uint8_t permanentAccess) {
    std::uint8_t relay = 0;
    if (relayInvert != 0) {
        relay |= kRelayInverted;
    }
    if (mainRelayInvert != 0) {
        relay |= kMainRelayInverted;
    }
    if (accessTime == 0) {
        relay |= permanentAccess;
    }
    return relay;
}

// The access code of a unit as it leaves the factory, and as the factory settings set it.
inline constexpr int kFactoryAccessCode = 4827;

// Answers.
inline constexpr std::uint8_t kCodeAccepted = 0x01;
inline constexpr std::uint8_t kEraseDone = 0x03;
inline constexpr std::uint8_t kAck = 0x06;
inline constexpr std::uint8_t kUnitPresent = 0x07;  // also: erase accepted
inline constexpr std::uint8_t kEraseProgress = 0x0A;
inline constexpr std::uint8_t kBlockAccepted = 0x0D;
inline constexpr std::uint8_t kImageReady = 0x4E;
inline constexpr std::uint8_t kNameEnd = 0xFF;

inline constexpr int kImageBlockSize = 128;
inline constexpr int kImageBlocks = 512;
inline constexpr int kReaderAnswerSize = 13;

}  // namespace unit
