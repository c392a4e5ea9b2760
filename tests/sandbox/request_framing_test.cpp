#include "sandbox/RequestFraming.h"
#include "sandbox/RequestLog.h"

#include <gtest/gtest.h>

using sandbox::RequestFraming;
using sandbox::RequestLog;
using State = RequestFraming::State;

namespace {

// What a row expects: complete, waiting for more, or refused with that status.
constexpr int kComplete = 0, kMore = 1;

const QByteArray kLogin = "POST /pelvo/Login.do HTTP/1.1\r\nHost: 127.0.0.1\r\n";
const QByteArray kChunked = kLogin + "Transfer-Encoding: chunked\r\n\r\n";

// Whole, and byte by byte: the verdict must not depend on how the bytes arrive.
TEST(Framing, JudgesTheSameWholeOrByteByByte) {
    RequestFraming::Limits limits;
    limits.maxHeadBytes = 256;
    limits.maxBodyBytes = 64;
    const struct {
        const char* name;
        QByteArray bytes;
        int verdict;
    } cases[] = {
        {"lengthBody", kLogin + "Content-Length: 5\r\n\r\nnum=1", kComplete},
        {"noBody", "GET /sandbox/requests HTTP/1.1\r\nHost: x\r\n\r\n", kComplete},
        {"http10", "GET / HTTP/1.0\r\n\r\n", kComplete},
        {"bareLineFeeds", "GET / HTTP/1.1\nHost: x\n\n", kComplete},
        {"leadingBlankLine", "\r\nGET / HTTP/1.1\r\n\r\n", kComplete},
        {"valueWithUtf8", kLogin + "X-Name: \xE4\xB8\xAD\r\n\r\n", kComplete},
        {"bodyStillComing", kLogin + "Content-Length: 9\r\n\r\nnum=1", kMore},
        {"headStillComing", kLogin + "Content-Len", kMore},
        {"chunked", kChunked + "3\r\nnum\r\n2;x=y\r\n=1\r\n0\r\n\r\n", kComplete},
        {"chunkedWithTrailer",
         kLogin + "Transfer-Encoding: Chunked\r\n\r\nA\r\n0123456789\r\n0\r\nX-T: 1\r\n\r\n",
         kComplete},
        {"chunkedUnfinished", kChunked + "3\r\nnum\r\n", kMore},
        // Length and framing faults.
        {"lengthNotANumber", kLogin + "Content-Length: 1x\r\n\r\n", 400},
        {"lengthNegative", kLogin + "Content-Length: -5\r\n\r\n", 400},
        {"lengthPlus", kLogin + "Content-Length: +5\r\n\r\nnum=1", 400},
        {"lengthEmpty", kLogin + "Content-Length:\r\n\r\n", 400},
        {"lengthWithBom",
         kLogin + "Content-Length: \xEF\xBB\xBF"
                  "5\r\n\r\nnum=1",
         400},
        {"lengthTwice", kLogin + "Content-Length: 5\r\nContent-Length: 5\r\n\r\nnum=1", 400},
        {"lengthList", kLogin + "Content-Length: 5, 5\r\n\r\nnum=1", 400},
        {"lengthAndChunked",
         kLogin + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 400},
        {"chunkedTwice",
         kLogin + "Transfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n\r\n", 400},
        {"unknownCoding", kLogin + "Transfer-Encoding: gzip\r\n\r\n", 501},
        {"chunkedInHttp10", "POST / HTTP/1.0\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n", 400},
        {"chunkSizeNotHex", kChunked + "zz\r\n", 400},
        {"chunkSizeMissing", kChunked + ";x\r\n", 400},
        {"chunkLongerThanSize", kChunked + "2\r\nnum\r\n0\r\n\r\n", 400},
        {"chunkWithoutCrlf", kChunked + "3\nnum\r\n0\r\n\r\n", 400},
        {"chunkedEndMissingCrlf", kChunked + "0\r\nX", kMore},
        // Head syntax.
        {"headerNameOfFF", kLogin + "\xFF\xFF\xFF: 1\r\n\r\n", 400},
        {"headerNameWithSpace", kLogin + "Content Length: 5\r\n\r\n", 400},
        {"headerWithoutColon", kLogin + "Hello\r\n\r\n", 400},
        {"emptyHeaderName", kLogin + ": x\r\n\r\n", 400},
        {"spaceBeforeColon", kLogin + "Content-Length : 5\r\n\r\n", 400},
        {"foldedHeader", kLogin + "X: a\r\n b\r\n\r\n", 400},
        {"nulInValue", kLogin + QByteArray("X: a\0b\r\n\r\n", 10), 400},
        {"loneCarriageReturn", kLogin + "X: a\rb\r\n\r\n", 400},
        {"version99", "POST / HTTP/9.9\r\n\r\n", 505},
        {"version20", "GET / HTTP/2.0\r\n\r\n", 505},
        {"versionGarbled", "GET / HTTP/1.x\r\n\r\n", 400},
        {"versionLowercase", "GET / http/1.1\r\n\r\n", 400},
        {"noVersion", "GET /\r\n\r\n", 400},
        {"twoSpaces", "GET  / HTTP/1.1\r\n\r\n", 400},
        {"targetWithRawByte", "GET /\xE4\xB8\xAD HTTP/1.1\r\n\r\n", 400},
        {"tlsHello", QByteArray("\x16\x03\x01\x00\x05hello\r\n\r\n", 14), 400},
        // Limits (64-byte bodies, 256-byte heads here).
        {"lengthOverLimit", kLogin + "Content-Length: 65\r\n\r\n", 413},
        {"lengthHuge", kLogin + "Content-Length: 99999999999999999999999\r\n\r\n", 413},
        {"lengthAtLimit", kLogin + "Content-Length: 64\r\n\r\n" + QByteArray(64, 'a'), kComplete},
        {"chunksOverLimit", kChunked + "20\r\n" + QByteArray(32, 'a') + "\r\n21\r\n", 413},
        {"chunkSizeOverflow", kChunked + "FFFFFFFFFFFFFFFFFFFFFFFF\r\n", 413},
        {"headOverLimit", kLogin + "X: " + QByteArray(300, 'a'), 431},
        {"blankLinesOverLimit", QByteArray(257, '\n'), 431},
        {"blankLinesAndHeadOverLimit", QByteArray(220, '\n') + kLogin + "X: y\r\n\r\n", 431},
        // Chunk framing is bounded in all (here before a size line reaches its own bound).
        {"zeroPaddedChunkSize", kChunked + QByteArray(1100, '0'), 413},
        {"endlessChunkExtension", kChunked + "1;" + QByteArray(1100, 'x'), 413},
        {"chunkFramingOverLimit", kChunked + QByteArray("1;x\r\na\r\n").repeated(60), 413},
        {"trailerOverLimit", kChunked + "0\r\nX: " + QByteArray(300, 'a'), 431},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const State expected = c.verdict == kComplete ? State::Complete
                               : c.verdict == kMore   ? State::Incomplete
                                                      : State::Refused;
        RequestFraming whole(limits);
        EXPECT_EQ(whole.feed(c.bytes), expected);
        if (expected == State::Refused) {
            EXPECT_EQ(whole.status(), c.verdict) << whole.reason().toStdString();
        }
        RequestFraming trickle(limits);
        for (char byte : c.bytes)
            trickle.feed(QByteArrayView(&byte, 1));
        EXPECT_EQ(trickle.state(), expected);
        EXPECT_EQ(trickle.status(), whole.status());
    }
}

TEST(Framing, AsksForContinueOnlyOnceTheHeadIsIn) {
    RequestFraming framing;
    framing.feed(kLogin + "Expect: 100-continue\r\nContent-Length: 5");
    EXPECT_FALSE(framing.expectsContinue());
    framing.feed("\r\n\r\n");
    EXPECT_TRUE(framing.expectsContinue());
    EXPECT_EQ(framing.feed("num=1"), State::Complete);
}

TEST(Framing, BytesAfterACompleteRequestChangeNothing) {
    RequestFraming framing;
    const QByteArray request = kLogin + "Content-Length: 1\r\n\r\nx";
    EXPECT_EQ(framing.feed("\r\n" + request + "GARBAGE\xFF"), State::Complete);
    EXPECT_EQ(framing.feed("more"), State::Complete);
    EXPECT_EQ(framing.leadingBytes(), 2);
    EXPECT_EQ(framing.consumed(), 2 + request.size());
}

TEST(RequestLogLimits, KeepsTheLatestAndCutsLargeBodies) {
    RequestLog log({/*maxEntries*/ 3, /*maxBodyBytes*/ 8});
    for (int i = 0; i < 5; ++i)
        log.append({QString::number(i), sandbox::FormFields::parse("a=1"), "a=1", -1, false});
    ASSERT_EQ(log.entries().size(), 3);
    EXPECT_EQ(log.entries().front().interfaceName, "2");
    EXPECT_EQ(log.dropped(), 2);

    const QByteArray big = "k=" + QByteArray(100, 'v') + "&pass=secret";
    log.append({"Big", sandbox::FormFields::parse(big), big, -1, false});
    const auto& last = log.entries().back();
    EXPECT_EQ(last.body, "k=vvvvvv");
    EXPECT_EQ(last.size, big.size());
    EXPECT_TRUE(last.truncated);
    EXPECT_EQ(last.fields, sandbox::FormFields({{"k", "vvvvvvv"}}));
    EXPECT_FALSE(log.entries().front().truncated);

    log.clear();
    EXPECT_TRUE(log.entries().isEmpty());
    EXPECT_EQ(log.dropped(), 0);
}

TEST(RequestLogLimits, SecretKeysAreMaskedWhereverTheyAppear) {
    const std::pair<QByteArray, QByteArray> cases[] = {
        {"pass=1&num=2", "pass=***&num=2"},
        {"PASS=1&newpass=2&cardpwd=3&pwd=4", "PASS=***&newpass=***&cardpwd=***&pwd=***"},
        {"%70ass=1", "%70ass=***"},
        {"session=T1&num=2&Session=T2", "session=***&num=2&Session=***"},
        {"pass", "pass"},
        {"a=pass&b=pwd", "a=pass&b=pwd"},
        {"pass=a=b&&x=", "pass=***&&x="},
        {"", ""},
    };
    for (const auto& [body, masked] : cases)
        EXPECT_EQ(RequestLog::maskBody(body), masked) << body.toStdString();
}

} // namespace
