#include "sandbox/RequestFraming.h"
#include "sandbox/RequestLog.h"

#include <gtest/gtest.h>

using sandbox::RequestFraming;
using sandbox::RequestLog;
using State = RequestFraming::State;

namespace {

struct FramingCase {
    const char* name;
    QByteArray bytes;
    State state;
    int status = 0; // when refused
};

void PrintTo(const FramingCase& c, std::ostream* os) {
    *os << c.name;
}

const QByteArray kLogin = "POST /pelvo/Login.do HTTP/1.1\r\nHost: 127.0.0.1\r\n";

RequestFraming::Limits smallLimits() {
    RequestFraming::Limits limits;
    limits.maxHeadBytes = 256;
    limits.maxBodyBytes = 64;
    return limits;
}

class Framing : public ::testing::TestWithParam<FramingCase> {};

// Whole, and byte by byte: the verdict must not depend on how the bytes arrive.
TEST_P(Framing, JudgesTheSameWholeOrByteByByte) {
    const FramingCase& c = GetParam();
    RequestFraming whole(smallLimits());
    EXPECT_EQ(whole.feed(c.bytes), c.state);
    if (c.state == State::Refused) {
        EXPECT_EQ(whole.status(), c.status) << whole.reason().toStdString();
    }

    RequestFraming trickle(smallLimits());
    for (char byte : c.bytes)
        trickle.feed(QByteArrayView(&byte, 1));
    EXPECT_EQ(trickle.state(), c.state);
    EXPECT_EQ(trickle.status(), whole.status());
}

INSTANTIATE_TEST_SUITE_P(
    Requests, Framing,
    ::testing::Values(
        FramingCase{"lengthBody", kLogin + "Content-Length: 5\r\n\r\nnum=1", State::Complete},
        FramingCase{"noBody", "GET /sandbox/requests HTTP/1.1\r\nHost: x\r\n\r\n", State::Complete},
        FramingCase{"http10", "GET / HTTP/1.0\r\n\r\n", State::Complete},
        FramingCase{"bareLineFeeds", "GET / HTTP/1.1\nHost: x\n\n", State::Complete},
        FramingCase{"leadingBlankLine", "\r\nGET / HTTP/1.1\r\n\r\n", State::Complete},
        FramingCase{"valueWithUtf8", kLogin + "X-Name: \xE4\xB8\xAD\r\n\r\n", State::Complete},
        FramingCase{"bodyStillComing", kLogin + "Content-Length: 9\r\n\r\nnum=1",
                    State::Incomplete},
        FramingCase{"headStillComing", kLogin + "Content-Len", State::Incomplete},
        FramingCase{"chunked",
                    kLogin +
                        "Transfer-Encoding: chunked\r\n\r\n3\r\nnum\r\n2;x=y\r\n=1\r\n0\r\n\r\n",
                    State::Complete},
        FramingCase{"chunkedWithTrailer",
                    kLogin +
                        "Transfer-Encoding: Chunked\r\n\r\nA\r\n0123456789\r\n0\r\nX-T: 1\r\n\r\n",
                    State::Complete},
        FramingCase{"chunkedUnfinished", kLogin + "Transfer-Encoding: chunked\r\n\r\n3\r\nnum\r\n",
                    State::Incomplete},
        // Length and framing faults.
        FramingCase{"lengthNotANumber", kLogin + "Content-Length: 1x\r\n\r\n", State::Refused, 400},
        FramingCase{"lengthNegative", kLogin + "Content-Length: -5\r\n\r\n", State::Refused, 400},
        FramingCase{"lengthPlus", kLogin + "Content-Length: +5\r\n\r\nnum=1", State::Refused, 400},
        FramingCase{"lengthEmpty", kLogin + "Content-Length:\r\n\r\n", State::Refused, 400},
        FramingCase{"lengthWithBom",
                    kLogin + "Content-Length: \xEF\xBB\xBF"
                             "5\r\n\r\nnum=1",
                    State::Refused, 400},
        FramingCase{"lengthTwice", kLogin + "Content-Length: 5\r\nContent-Length: 5\r\n\r\nnum=1",
                    State::Refused, 400},
        FramingCase{"lengthList", kLogin + "Content-Length: 5, 5\r\n\r\nnum=1", State::Refused,
                    400},
        FramingCase{"lengthAndChunked",
                    kLogin + "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
                    State::Refused, 400},
        FramingCase{"chunkedTwice",
                    kLogin + "Transfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n\r\n",
                    State::Refused, 400},
        FramingCase{"unknownCoding", kLogin + "Transfer-Encoding: gzip\r\n\r\n", State::Refused,
                    501},
        FramingCase{"chunkedInHttp10",
                    "POST / HTTP/1.0\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n",
                    State::Refused, 400},
        FramingCase{"chunkSizeNotHex", kLogin + "Transfer-Encoding: chunked\r\n\r\nzz\r\n",
                    State::Refused, 400},
        FramingCase{"chunkSizeMissing", kLogin + "Transfer-Encoding: chunked\r\n\r\n;x\r\n",
                    State::Refused, 400},
        FramingCase{"chunkLongerThanSize",
                    kLogin + "Transfer-Encoding: chunked\r\n\r\n2\r\nnum\r\n0\r\n\r\n",
                    State::Refused, 400},
        FramingCase{"chunkWithoutCrlf",
                    kLogin + "Transfer-Encoding: chunked\r\n\r\n3\nnum\r\n0\r\n\r\n",
                    State::Refused, 400},
        FramingCase{"chunkedEndMissingCrlf", kLogin + "Transfer-Encoding: chunked\r\n\r\n0\r\nX",
                    State::Incomplete},
        // Head syntax.
        FramingCase{"headerNameOfFF", kLogin + "\xFF\xFF\xFF: 1\r\n\r\n", State::Refused, 400},
        FramingCase{"headerNameWithSpace", kLogin + "Content Length: 5\r\n\r\n", State::Refused,
                    400},
        FramingCase{"headerWithoutColon", kLogin + "Hello\r\n\r\n", State::Refused, 400},
        FramingCase{"emptyHeaderName", kLogin + ": x\r\n\r\n", State::Refused, 400},
        FramingCase{"spaceBeforeColon", kLogin + "Content-Length : 5\r\n\r\n", State::Refused, 400},
        FramingCase{"foldedHeader", kLogin + "X: a\r\n b\r\n\r\n", State::Refused, 400},
        FramingCase{"nulInValue", kLogin + QByteArray("X: a\0b\r\n\r\n", 10), State::Refused, 400},
        FramingCase{"loneCarriageReturn", kLogin + "X: a\rb\r\n\r\n", State::Refused, 400},
        FramingCase{"version99", "POST / HTTP/9.9\r\n\r\n", State::Refused, 505},
        FramingCase{"version20", "GET / HTTP/2.0\r\n\r\n", State::Refused, 505},
        FramingCase{"versionGarbled", "GET / HTTP/1.x\r\n\r\n", State::Refused, 400},
        FramingCase{"versionLowercase", "GET / http/1.1\r\n\r\n", State::Refused, 400},
        FramingCase{"noVersion", "GET /\r\n\r\n", State::Refused, 400},
        FramingCase{"twoSpaces", "GET  / HTTP/1.1\r\n\r\n", State::Refused, 400},
        FramingCase{"targetWithRawByte", "GET /\xE4\xB8\xAD HTTP/1.1\r\n\r\n", State::Refused, 400},
        FramingCase{"tlsHello", QByteArray("\x16\x03\x01\x00\x05hello\r\n\r\n", 14), State::Refused,
                    400},
        // Limits (64-byte bodies, 256-byte heads here).
        FramingCase{"lengthOverLimit", kLogin + "Content-Length: 65\r\n\r\n", State::Refused, 413},
        FramingCase{"lengthHuge", kLogin + "Content-Length: 99999999999999999999999\r\n\r\n",
                    State::Refused, 413},
        FramingCase{"lengthAtLimit", kLogin + "Content-Length: 64\r\n\r\n" + QByteArray(64, 'a'),
                    State::Complete},
        FramingCase{"chunksOverLimit",
                    kLogin + "Transfer-Encoding: chunked\r\n\r\n20\r\n" + QByteArray(32, 'a') +
                        "\r\n21\r\n",
                    State::Refused, 413},
        FramingCase{"chunkSizeOverflow",
                    kLogin + "Transfer-Encoding: chunked\r\n\r\nFFFFFFFFFFFFFFFFFFFFFFFF\r\n",
                    State::Refused, 413},
        FramingCase{"headOverLimit", kLogin + "X: " + QByteArray(300, 'a'), State::Refused, 431},
        FramingCase{"blankLinesOverLimit", QByteArray(257, '\n'), State::Refused, 431},
        FramingCase{"blankLinesAndHeadOverLimit", QByteArray(220, '\n') + kLogin + "X: y\r\n\r\n",
                    State::Refused, 431},
        // Chunk framing is bounded in all (here before a size line reaches its own bound).
        FramingCase{"zeroPaddedChunkSize",
                    kLogin + "Transfer-Encoding: chunked\r\n\r\n" + QByteArray(1100, '0'),
                    State::Refused, 413},
        FramingCase{"endlessChunkExtension",
                    kLogin + "Transfer-Encoding: chunked\r\n\r\n1;" + QByteArray(1100, 'x'),
                    State::Refused, 413},
        FramingCase{"chunkFramingOverLimit",
                    kLogin + "Transfer-Encoding: chunked\r\n\r\n" +
                        QByteArray("1;x\r\na\r\n").repeated(60),
                    State::Refused, 413},
        FramingCase{"trailerOverLimit",
                    kLogin + "Transfer-Encoding: chunked\r\n\r\n0\r\nX: " + QByteArray(300, 'a'),
                    State::Refused, 431}),
    [](const auto& info) { return std::string(info.param.name); });

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
