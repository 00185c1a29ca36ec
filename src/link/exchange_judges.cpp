#include "exchange_judges.h"

#include "unit_commands.h"

namespace {

// One "*" for every this many progress bytes past it.
constexpr int kProgressPerMark = 5;
// The unit sends a progress byte at least this often while it erases.
constexpr int kLongestProgressGapMs = 150;

}  // namespace

int acknowledgementError(int n, LinkPrimitives& link, AckCodes codes) {
    if (n <= 0) {
        return codes.silent;
    }
    return link.answerByte(0) == unit::kAck ? 0 : codes.wrong;
}

int eraseAcceptError(int n, LinkPrimitives& link, ErasePass pass) {
    if (n >= 1 && link.answerByte(0) == unit::kUnitPresent) {
        return 0;
    }
    return pass == ErasePass::Keys ? 521 : 522;
}

EraseProgress judgeEraseProgress(int n, LinkPrimitives& link, ErasePass pass, int& progressCount) {
    const bool keys = pass == ErasePass::Keys;
    EraseProgress progress;
    // The unit sends a progress byte at least every 150 ms while it erases: a silent tick
    // means it is gone, once that long has passed. A timer's tick may come late and the
    // next one on time right after it, before the unit's next byte could.
    if (n <= 0 && link.msSinceInput() < kLongestProgressGapMs) {
        return progress;
    }
    if (n <= 0) {
        progress.outcome = EraseProgress::Outcome::Failed;
        progress.code = keys ? 525 : 526;
        return progress;
    }
    for (int i = 0; i < n; ++i) {
        const std::uint8_t b = link.answerByte(i);
        if (b == unit::kEraseProgress) {
            if (++progressCount > kProgressPerMark) {
                ++progress.marks;
                progressCount = 0;
            }
        } else if (b == unit::kEraseDone) {
            progress.outcome = EraseProgress::Outcome::Done;
            return progress;
        } else {
            progress.outcome = EraseProgress::Outcome::Failed;
            progress.code = keys ? 523 : 524;
            return progress;
        }
    }
    return progress;
}

bool keepAliveLost(int n, LinkPrimitives& link, int& misses, int limit) {
    ++misses;
    for (int i = 0; i < n; ++i) {
        if (link.answerByte(i) == unit::kAck) {
            misses = 0;
        }
    }
    return misses > limit;
}
