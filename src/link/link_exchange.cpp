#include "link_exchange.h"

int LinkExchange::sendEchoed(std::uint8_t b) {
    const int n = readAnswer();
    sendByte(b);
    if (n == 1 && answerByte(0) == lastSentByte_) {
        lastSentByte_ = b;
        return 0;
    }
    return 1;
}
