// Feeds arbitrary bytes to the sandbox's request framing, whole and in pieces: the verdict
// must not depend on how the bytes arrive, and a request it accepts must be accepted alone.

#include "sandbox/RequestFraming.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using sandbox::RequestFraming;

namespace {

RequestFraming::Limits smallLimits() {
    RequestFraming::Limits limits;
    limits.maxHeadBytes = 512;
    limits.maxBodyBytes = 2048;
    return limits;
}

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte sets the size of the pieces the rest arrives in.
    const qsizetype piece = data[0] % 17 + 1;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size) - 1);

    RequestFraming whole(smallLimits());
    whole.feed(bytes);
    RequestFraming pieces(smallLimits());
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        pieces.feed(bytes.sliced(at, std::min(piece, bytes.size() - at)));
    check(whole.state() == pieces.state() && whole.status() == pieces.status());
    if (whole.state() != RequestFraming::State::Complete) return 0;

    check(whole.consumed() == pieces.consumed() && whole.leadingBytes() == pieces.leadingBytes());
    check(0 <= whole.leadingBytes() && whole.leadingBytes() < whole.consumed() &&
          whole.consumed() <= bytes.size());
    // The server is given exactly this slice: it must frame as one whole request.
    const QByteArrayView request =
        bytes.sliced(whole.leadingBytes(), whole.consumed() - whole.leadingBytes());
    RequestFraming alone(smallLimits());
    check(alone.feed(request) == RequestFraming::State::Complete);
    check(alone.consumed() == request.size() && alone.leadingBytes() == 0);
    return 0;
}
