#include "sandbox/RequestFraming.h"

#include <QByteArrayList>
#include <algorithm>
#include <cctype>

namespace sandbox {

namespace {

// RFC 9110 token characters (method, header names).
bool isTokenChar(char c) {
    if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return QByteArrayView("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(QByteArrayView text) {
    if (text.isEmpty()) return false;
    for (char c : text)
        if (!isTokenChar(c)) return false;
    return true;
}

// Field values: visible characters, blanks and bytes above 0x7F; no other controls.
bool isFieldValue(QByteArrayView text) {
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7F) return false;
    }
    return true;
}

bool isTarget(QByteArrayView text) {
    if (text.isEmpty()) return false;
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7F) return false;
    }
    return true;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

QByteArrayView trimmedBlanks(QByteArrayView v) {
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
        v.chop(1);
    return v;
}

} // namespace

void RequestFraming::refuse(int status, const QString& reason) {
    m_state = State::Refused;
    m_status = status;
    m_reason = reason;
}

void RequestFraming::complete() {
    m_phase = Phase::Done;
    m_state = State::Complete;
}

RequestFraming::State RequestFraming::feed(QByteArrayView bytes) {
    const qsizetype given = bytes.size();
    while (m_state == State::Incomplete && !bytes.isEmpty()) {
        switch (m_phase) {
        case Phase::Head: {
            // Blank lines before the request line are tolerated, as part of the head.
            if (m_head.isEmpty()) {
                while (!bytes.isEmpty() && (bytes.front() == '\r' || bytes.front() == '\n')) {
                    bytes = bytes.sliced(1);
                    ++m_leading;
                }
                if (m_leading > m_limits.maxHeadBytes) {
                    refuse(431, QStringLiteral("request head larger than %1 bytes")
                                    .arg(m_limits.maxHeadBytes));
                    break;
                }
                if (bytes.isEmpty()) break;
            }
            const qsizetype before = m_head.size();
            m_head.append(bytes);
            // The head ends at the first empty line ("\r\n\r\n", or bare "\n\n").
            qsizetype end = -1, endLength = 0;
            const qsizetype from = std::max<qsizetype>(0, before - 3);
            for (qsizetype i = from; i < m_head.size(); ++i) {
                if (m_head[i] != '\n') continue;
                if (i >= 1 && m_head[i - 1] == '\n') {
                    end = i - 1;
                    endLength = 2;
                    break;
                }
                if (i >= 2 && m_head[i - 1] == '\r' && m_head[i - 2] == '\n') {
                    end = i - 2;
                    endLength = 3;
                    break;
                }
            }
            if (end < 0) {
                if (m_leading + m_head.size() > m_limits.maxHeadBytes)
                    refuse(431, QStringLiteral("request head larger than %1 bytes")
                                    .arg(m_limits.maxHeadBytes));
                bytes = {};
                break;
            }
            if (m_leading + end + endLength > m_limits.maxHeadBytes) {
                refuse(
                    431,
                    QStringLiteral("request head larger than %1 bytes").arg(m_limits.maxHeadBytes));
                break;
            }
            const qsizetype consumedHere = end + endLength - before;
            bytes = bytes.sliced(consumedHere);
            m_head.truncate(end + 1); // up to the last header line's "\n"
            parseHead();
            break;
        }
        case Phase::Body: {
            const qsizetype take = std::min(m_remaining, bytes.size());
            m_remaining -= take;
            bytes = bytes.sliced(take);
            if (m_remaining == 0) complete();
            break;
        }
        default:
            bytes = bytes.sliced(feedChunked(bytes));
            break;
        }
    }
    m_consumed += given - bytes.size();
    return m_state;
}

void RequestFraming::parseHead() {
    QByteArrayList lines = m_head.split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    for (QByteArray& line : lines) {
        if (line.endsWith('\r')) line.chop(1);
        if (line.contains('\r'))
            return refuse(400, QStringLiteral("carriage return inside a line"));
    }
    if (lines.isEmpty()) return refuse(400, QStringLiteral("no request line"));

    const QByteArrayList parts = lines.first().split(' ');
    if (parts.size() != 3 || !isToken(parts[0]) || !isTarget(parts[1]))
        return refuse(400, QStringLiteral("malformed request line"));
    const QByteArray& version = parts[2];
    const bool versionShape = version.size() == 8 && version.startsWith("HTTP/") &&
                              std::isdigit(static_cast<unsigned char>(version[5])) &&
                              version[6] == '.' &&
                              std::isdigit(static_cast<unsigned char>(version[7]));
    if (!versionShape) return refuse(400, QStringLiteral("malformed HTTP version"));
    if (version[5] != '1')
        return refuse(
            505, QStringLiteral("HTTP version %1 not supported").arg(QString::fromLatin1(version)));
    const bool http10 = version == "HTTP/1.0";

    int contentLengths = 0, transferEncodings = 0;
    qsizetype contentLength = 0;
    bool chunked = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line.startsWith(' ') || line.startsWith('\t'))
            return refuse(400, QStringLiteral("folded header line"));
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0 || !isToken(QByteArrayView(line).first(colon)))
            return refuse(400, QStringLiteral("malformed header name"));
        const QByteArrayView value = trimmedBlanks(QByteArrayView(line).sliced(colon + 1));
        if (!isFieldValue(value)) return refuse(400, QStringLiteral("control byte in a header"));
        const QByteArray name = line.left(colon).toLower();
        if (name == "content-length") {
            if (++contentLengths > 1) return refuse(400, QStringLiteral("Content-Length twice"));
            if (value.isEmpty()) return refuse(400, QStringLiteral("empty Content-Length"));
            for (char c : value)
                if (c < '0' || c > '9')
                    return refuse(400, QStringLiteral("Content-Length is not a number"));
            // Digits only, so the only way past the limit is a long number.
            if (value.size() > 12 || value.toLongLong() > m_limits.maxBodyBytes)
                return refuse(
                    413, QStringLiteral("body larger than %1 bytes").arg(m_limits.maxBodyBytes));
            contentLength = value.toLongLong();
        } else if (name == "transfer-encoding") {
            if (++transferEncodings > 1)
                return refuse(400, QStringLiteral("Transfer-Encoding twice"));
            if (value.compare("chunked", Qt::CaseInsensitive) != 0)
                return refuse(501, QStringLiteral("transfer coding not supported"));
            chunked = true;
        } else if (name == "expect") {
            m_expectContinue = value.compare("100-continue", Qt::CaseInsensitive) == 0;
        }
    }
    if (chunked && contentLengths > 0)
        return refuse(400, QStringLiteral("both Content-Length and Transfer-Encoding"));
    if (chunked && http10) return refuse(400, QStringLiteral("chunked transfer in HTTP/1.0"));
    m_head.clear();
    m_head.squeeze();
    if (chunked) {
        m_phase = Phase::ChunkSize;
    } else if (contentLength > 0) {
        m_phase = Phase::Body;
        m_remaining = contentLength;
    } else {
        complete();
    }
}

qsizetype RequestFraming::feedChunked(QByteArrayView bytes) {
    auto tooLarge = [this] {
        refuse(413, QStringLiteral("body larger than %1 bytes").arg(m_limits.maxBodyBytes));
    };
    auto bad = [this](const char* what) { refuse(400, QString::fromLatin1(what)); };
    qsizetype i = 0;
    for (; i < bytes.size() && m_state == State::Incomplete; ++i) {
        const char c = bytes[i];
        // Size lines, extensions, line ends and trailers: at most a head's and a body's worth
        // in all, so tiny chunks cannot make the body many times its limit on the wire.
        if (m_phase != Phase::ChunkData &&
            ++m_framingBytes > m_limits.maxHeadBytes + m_limits.maxBodyBytes) {
            tooLarge();
            break;
        }
        if ((m_phase == Phase::ChunkSize || m_phase == Phase::ChunkExt) &&
            ++m_lineBytes > kMaxChunkLine) {
            bad("chunk size line too long");
            break;
        }
        switch (m_phase) {
        case Phase::ChunkSize: {
            const int digit = hexDigit(c);
            if (digit >= 0) {
                m_sizeDigits = true;
                m_remaining = m_remaining * 16 + digit;
                if (m_bodyBytes + m_remaining > m_limits.maxBodyBytes) tooLarge();
            } else if (!m_sizeDigits) {
                bad("malformed chunk size");
            } else if (c == ';') {
                m_phase = Phase::ChunkExt;
            } else if (c == '\r') {
                m_phase = Phase::ChunkSizeLF;
            } else {
                bad("malformed chunk size");
            }
            break;
        }
        case Phase::ChunkExt:
            if (c == '\r')
                m_phase = Phase::ChunkSizeLF;
            else if ((static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F)
                bad("malformed chunk extension");
            break;
        case Phase::ChunkSizeLF:
            if (c != '\n') {
                bad("chunk size line not ended by CRLF");
                break;
            }
            m_sizeDigits = false;
            m_lineBytes = 0;
            m_bodyBytes += m_remaining;
            m_phase = m_remaining == 0 ? Phase::TrailerStart : Phase::ChunkData;
            break;
        case Phase::ChunkData: {
            const qsizetype take = std::min(m_remaining, bytes.size() - i);
            m_remaining -= take;
            i += take - 1;
            if (m_remaining == 0) m_phase = Phase::ChunkDataCR;
            break;
        }
        case Phase::ChunkDataCR:
            if (c != '\r')
                bad("chunk longer than its size");
            else
                m_phase = Phase::ChunkDataLF;
            break;
        case Phase::ChunkDataLF:
            if (c != '\n')
                bad("chunk not ended by CRLF");
            else
                m_phase = Phase::ChunkSize;
            break;
        case Phase::TrailerStart:
            if (c == '\r') {
                m_phase = Phase::FinalLF;
                break;
            }
            m_phase = Phase::TrailerLine;
            [[fallthrough]];
        case Phase::TrailerLine:
            if (++m_trailerBytes > m_limits.maxHeadBytes)
                refuse(431,
                       QStringLiteral("trailer larger than %1 bytes").arg(m_limits.maxHeadBytes));
            else if (c == '\r')
                m_phase = Phase::TrailerLF;
            else if (c == '\n' || (static_cast<unsigned char>(c) < 0x20 && c != '\t'))
                bad("malformed trailer");
            break;
        case Phase::TrailerLF:
            if (c != '\n')
                bad("trailer line not ended by CRLF");
            else
                m_phase = Phase::TrailerStart;
            break;
        case Phase::FinalLF:
            if (c != '\n')
                bad("chunked body not ended by CRLF");
            else
                complete();
            break;
        default:
            return i;
        }
    }
    return i;
}

} // namespace sandbox
