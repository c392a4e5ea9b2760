#include "tests/support/GifWriter.h"

#include <vector>

namespace testsupport {

namespace {

class BitWriter {
public:
    void put(int code, int width) {
        m_bits |= quint32(code) << m_count;
        m_count += width;
        while (m_count >= 8) {
            m_bytes.append(char(m_bits & 0xff));
            m_bits >>= 8;
            m_count -= 8;
        }
    }
    QByteArray finish() {
        if (m_count > 0) m_bytes.append(char(m_bits & 0xff));
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_bits = 0;
    int m_count = 0;
};

void putShort(QByteArray& out, int value) {
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

} // namespace

QByteArray gifOf(const QImage& image) {
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8);
    const int width = indexed.width(), height = indexed.height();
    QByteArray out("GIF89a");
    putShort(out, width);
    putShort(out, height);
    out.append(char(0xF7)); // a global table of 256 colours
    out.append(char(0));
    out.append(char(0));
    const QList<QRgb> colours = indexed.colorTable();
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < colours.size() ? colours[i] : 0;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(char(0x2C));
    putShort(out, 0);
    putShort(out, 0);
    putShort(out, width);
    putShort(out, height);
    out.append(char(0));
    out.append(char(8)); // the smallest code size

    const int clear = 256, end = 257;
    std::vector<qint16> table(4096 * 256, -1); // (code, next index) -> code
    BitWriter bits;
    int codeWidth = 9, last = end;
    bits.put(clear, codeWidth);
    int current = -1;
    for (int y = 0; y < height; ++y) {
        const uchar* row = indexed.constScanLine(y);
        for (int x = 0; x < width; ++x) {
            const int index = row[x];
            if (current < 0) {
                current = index;
                continue;
            }
            const qint16 found = table[size_t(current) * 256 + size_t(index)];
            if (found >= 0) {
                current = found;
                continue;
            }
            bits.put(current, codeWidth);
            table[size_t(current) * 256 + size_t(index)] = qint16(++last);
            if (last >= (1 << codeWidth)) ++codeWidth;
            if (last == 4095) {
                bits.put(clear, codeWidth);
                std::fill(table.begin(), table.end(), qint16(-1));
                codeWidth = 9;
                last = end;
            }
            current = index;
        }
    }
    if (current >= 0) bits.put(current, codeWidth);
    bits.put(end, codeWidth);
    const QByteArray data = bits.finish();
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    out.append(char(0x3B));
    return out;
}

} // namespace testsupport
