#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace sandbox {

// Checks the framing of one HTTP/1.x request as its bytes arrive, before any of it is
// handed to the HTTP server: the request line, header syntax, Content-Length or chunked
// transfer, and the size limits. What it refuses never reaches an interface, so a request
// whose length is ambiguous cannot pass as an empty body (or as two requests). Every byte of
// a request counts against a limit (blank lines before it, zero-padded chunk sizes, chunk
// extensions), so what a connection may make the server hold is bounded.
class RequestFraming {
public:
    struct Limits {
        qsizetype maxHeadBytes = 16 * 1024;
        qsizetype maxBodyBytes = 1024 * 1024;
    };
    enum class State { Incomplete, Complete, Refused };

    RequestFraming() = default;
    explicit RequestFraming(Limits limits) : m_limits(limits) {}

    // Chunk size lines (digits and extensions) longer than this are refused (400).
    static constexpr qsizetype kMaxChunkLine = 1024;

    // Takes the next bytes of the connection; bytes after a complete request are ignored.
    State feed(QByteArrayView bytes);
    // Once complete: the request is bytes [leadingBytes(), consumed()) of what was fed; the
    // blank lines before it and anything after it are not part of it.
    qsizetype leadingBytes() const { return m_leading; }
    qsizetype consumed() const { return m_consumed; }
    State state() const { return m_state; }
    // When refused: 400 (malformed), 413 (body too large), 431 (head too large),
    // 501 (unknown transfer coding) or 505 (HTTP version), and why.
    int status() const { return m_status; }
    const QString& reason() const { return m_reason; }
    // The head is in and asks for "100 Continue" before the client sends its body.
    bool expectsContinue() const { return m_expectContinue && m_phase != Phase::Head; }

private:
    enum class Phase {
        Head,
        Body,      // Content-Length bytes
        ChunkSize, // hex digits of a chunk size
        ChunkExt,  // ";name=value" after the size
        ChunkSizeLF,
        ChunkData,
        ChunkDataCR,
        ChunkDataLF,
        TrailerStart, // at the start of a trailer line (or the final CRLF)
        TrailerLine,
        TrailerLF,
        FinalLF,
        Done,
    };

    void parseHead();
    // Returns how many of the bytes it took.
    qsizetype feedChunked(QByteArrayView bytes);
    void refuse(int status, const QString& reason);
    void complete();

    Limits m_limits;
    State m_state = State::Incomplete;
    Phase m_phase = Phase::Head;
    int m_status = 0;
    QString m_reason;
    QByteArray m_head;
    qsizetype m_remaining = 0; // body or chunk bytes still to come
    qsizetype m_bodyBytes = 0; // chunked: data bytes so far
    qsizetype m_trailerBytes = 0;
    qsizetype m_leading = 0;      // blank-line bytes before the request line
    qsizetype m_consumed = 0;     // bytes of the stream taken so far
    qsizetype m_lineBytes = 0;    // of the current chunk size line
    qsizetype m_framingBytes = 0; // chunked: every byte that is not data
    bool m_sizeDigits = false;
    bool m_expectContinue = false;
};

} // namespace sandbox
