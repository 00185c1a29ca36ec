// parseKeyText on arbitrary texts: a text it takes is a key that passes its check, and that
// key's text reads back as the same key; a text it refuses leaves no key behind.

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "key_code.h"
#include "key_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    KeyCode key;
    key.fill(0x5A);
    const int result = parseKeyText(text, key);
    if (result != 0) {
        FUZZ_CHECK(result == -1);
        FUZZ_CHECK(std::all_of(key.begin(), key.end(), [](std::uint8_t b) { return b == 0; }));
        return 0;
    }
    FUZZ_CHECK(text.size() == 16 || text.size() == 12);
    FUZZ_CHECK(isByteCode(key) ? isValidByteCode(key) : isValidCharCode(key));

    // The key's text is the typed text in upper case, and parses to the same key.
    const std::string shown = keyCodeText(key);
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); });
    FUZZ_CHECK(shown == upper);
    KeyCode again;
    FUZZ_CHECK(parseKeyText(shown, again) == 0 && again == key);
    // Sixteen zeros are a byte code with a good CRC, but an all-zero code is no key.
    KeyCode rendered = key;
    const bool noKey = std::all_of(key.begin(), key.end(), [](std::uint8_t b) { return b == 0; });
    FUZZ_CHECK(renderReaderKey(rendered) == (noKey ? std::string(kNoKeyText) : shown) && rendered == key);
    return 0;
}
