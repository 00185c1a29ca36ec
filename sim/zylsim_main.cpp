// zylsim: a simulated ZYL unit on a pseudo-terminal, registered as a COM port of this user,
// so that ZylTool can be run and shown without a unit.

#include <csignal>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "pty_unit_server.h"

namespace {

constexpr const char* kUsage =
    "usage: zylsim [--com N] [--code C] [--key HEX16|TEXT12] [--fault FAULT]... [--erase-ms MS]\n"
    "              [--transcript FILE] [--rejoin-ms MS]\n"
    "  --com N          register the unit as COM N, 1..70 (default 1)\n"
    "  --code C         the unit's access code, 0..9999 (default 4827)\n"
    "  --key K          a key held at the reader: 16 hex digits (a byte code, most significant\n"
    "                   byte first) or 12 characters (a character code, byte 11 first)\n"
    "  --fault FAULT    kind[@command[:nth[:occurrence]]], kind one of silence, wrong,\n"
    "                   drop-echo, double-echo, stray, split, refuse-code, slow-erase, hangup\n"
    "  --erase-ms MS    how long each erase takes (default 1500)\n"
    "  --transcript F   write every byte in (\">\") and out (\"<\") with its time in ms to F\n"
    "  --rejoin-ms MS   after a hang-up, come back on the same COM number after MS\n";

PtyUnitServer* theServer = nullptr;

void onSignal(int) {
    if (theServer != nullptr) {
        theServer->stop();
    }
}

std::optional<int> parseNumber(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 9) {
        return std::nullopt;
    }
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    return value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The key as the key list shows it: a byte code as bytes 7 down to 0 in hex, a character
// code as its characters from byte 11 down to byte 0.
std::optional<KeyCode> parseKey(std::string_view text) {
    KeyCode key{};
    if (text.size() == 16) {
        for (std::size_t i = 0; i < 8; ++i) {
            const int high = hexDigit(text[2 * i]);
            const int low = hexDigit(text[2 * i + 1]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            key[7 - i] = static_cast<std::uint8_t>(high << 4 | low);
        }
        return key;
    }
    if (text.size() == static_cast<std::size_t>(kKeyCodeSize)) {
        for (std::size_t i = 0; i < text.size(); ++i) {
            key[kKeyCodeSize - 1 - i] = static_cast<std::uint8_t>(text[i]);
        }
        return key;
    }
    return std::nullopt;
}

int usageError(const std::string& problem) {
    std::fprintf(stderr, "zylsim: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    PtyUnitServer::Options options;
    options.announce = [](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    };

    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--help" || option == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc) {
            return usageError("missing value after " + option);
        }
        const std::string_view value = argv[++i];
        const std::string bad = "bad value for " + option + ": " + std::string(value);
        if (option == "--com") {
            const auto n = parseNumber(value, 1, 70);
            if (!n) {
                return usageError(bad);
            }
            options.comNumber = *n;
        } else if (option == "--code") {
            const auto code = parseNumber(value, 0, 9999);
            if (!code) {
                return usageError(bad);
            }
            options.unit.accessCode = *code;
        } else if (option == "--key") {
            const auto key = parseKey(value);
            if (!key) {
                return usageError(bad);
            }
            options.heldKey = *key;
        } else if (option == "--fault") {
            const auto fault = parseFault(value);
            if (!fault) {
                return usageError(bad);
            }
            options.faults.push_back(*fault);
        } else if (option == "--erase-ms") {
            const auto ms = parseNumber(value, 0, 3'600'000);
            if (!ms) {
                return usageError(bad);
            }
            options.unit.eraseMs = *ms;
        } else if (option == "--transcript") {
            options.transcriptPath = value;
        } else if (option == "--rejoin-ms") {
            const auto ms = parseNumber(value, 0, 3'600'000);
            if (!ms) {
                return usageError(bad);
            }
            options.rejoinMs = *ms;
        } else {
            return usageError("unknown option " + option);
        }
    }

    PtyUnitServer server(std::move(options));
    theServer = &server;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }

    if (!server.start()) {
        std::fprintf(stderr, "zylsim: %s\n", server.error().c_str());
        return 1;
    }
    const int result = server.run();
    if (result != 0) {
        std::fprintf(stderr, "zylsim: %s\n", server.error().c_str());
    }
    theServer = nullptr;
    return result;
}
