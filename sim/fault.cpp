#include "fault.h"

#include <charconv>
#include <cstdio>

namespace {

struct KindName {
    FaultKind kind;
    std::string_view name;
};

constexpr KindName kKindNames[] = {
    {FaultKind::None, "none"},
    {FaultKind::Silence, "silence"},
    {FaultKind::WrongByte, "wrong"},
    {FaultKind::DropEcho, "drop-echo"},
    {FaultKind::DoubleEcho, "double-echo"},
    {FaultKind::StrayByte, "stray"},
    {FaultKind::SplitAnswer, "split"},
    {FaultKind::RefuseCode, "refuse-code"},
    {FaultKind::SlowErase, "slow-erase"},
    {FaultKind::HangUp, "hangup"},
};

constexpr std::string_view kAnyCommand = "*";

// A whole field in decimal or 0x-hex, 0..limit.
std::optional<int> parseNumber(std::string_view text, int limit) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < 0 ||
        value > limit) {
        return std::nullopt;
    }
    return value;
}

// Splits off the text before `separator`; the rest stays in `text` (empty when absent).
std::string_view takeField(std::string_view& text, char separator, bool& found) {
    const auto at = text.find(separator);
    found = at != std::string_view::npos;
    const std::string_view field = text.substr(0, at);
    text = found ? text.substr(at + 1) : std::string_view{};
    return field;
}

}  // namespace

std::optional<Fault> parseFault(std::string_view text) {
    constexpr int kMaxCount = 1'000'000;
    bool hasCommand = false;
    const std::string_view kindName = takeField(text, '@', hasCommand);

    Fault fault;
    bool known = false;
    for (const KindName& k : kKindNames) {
        if (k.name == kindName) {
            fault.kind = k.kind;
            known = true;
        }
    }
    if (!known) {
        return std::nullopt;
    }
    if (!hasCommand) {
        return fault;
    }

    bool hasNth = false;
    bool hasOccurrence = false;
    const std::string_view command = takeField(text, ':', hasNth);
    const std::string_view nth = takeField(text, ':', hasOccurrence);
    const std::string_view occurrence = text;

    if (command != kAnyCommand) {
        const auto value = parseNumber(command, 0xFF);
        if (!value) {
            return std::nullopt;
        }
        fault.command = static_cast<std::uint8_t>(*value);
    }
    if (hasNth) {
        const auto value = parseNumber(nth, kMaxCount);
        if (!value) {
            return std::nullopt;
        }
        fault.nth = *value;
    }
    if (hasOccurrence) {
        const auto value = parseNumber(occurrence, kMaxCount);
        if (!value) {
            return std::nullopt;
        }
        fault.occurrence = *value;
    }
    return fault;
}

std::string describe(const Fault& fault) {
    std::string text;
    for (const KindName& k : kKindNames) {
        if (k.kind == fault.kind) {
            text = k.name;
        }
    }
    if (!fault.command && fault.nth == 0 && fault.occurrence == 0) {
        return text;
    }
    text += '@';
    if (fault.command) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02X", *fault.command);
        text += hex;
    } else {
        text += kAnyCommand;
    }
    if (fault.nth != 0 || fault.occurrence != 0) {
        text += ':' + std::to_string(fault.nth);
    }
    if (fault.occurrence != 0) {
        text += ':' + std::to_string(fault.occurrence);
    }
    return text;
}
