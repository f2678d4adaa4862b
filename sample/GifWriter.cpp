#include "GifWriter.h"

#include <map>

namespace {

class BitPacker
{
public:
    void put(int code, int bits)
    {
        m_buffer |= static_cast<unsigned long>(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.push_back(char(m_buffer & 0xff));
            m_buffer >>= 8;
            m_count -= 8;
        }
    }
    QByteArray finish()
    {
        if (m_count > 0)
            m_bytes.push_back(char(m_buffer & 0xff));
        return m_bytes;
    }

private:
    unsigned long m_buffer = 0;
    int m_count = 0;
    QByteArray m_bytes;
};

void put16(QByteArray& out, int value)
{
    out.push_back(char(value & 0xff));
    out.push_back(char((value >> 8) & 0xff));
}

} // namespace

QByteArray encodeGif(int width, int height, const std::vector<unsigned char>& indices,
                     const std::vector<QRgb>& palette)
{
    QByteArray out("GIF89a");
    put16(out, width);
    put16(out, height);
    out.push_back(char(0xF7)); // global colour table of 256 entries, 8 bits per primary
    out.push_back(char(0));
    out.push_back(char(0));
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < int(palette.size()) ? palette[size_t(i)] : 0;
        out.push_back(char(qRed(c)));
        out.push_back(char(qGreen(c)));
        out.push_back(char(qBlue(c)));
    }
    out.push_back(char(0x2C));
    put16(out, 0);
    put16(out, 0);
    put16(out, width);
    put16(out, height);
    out.push_back(char(0));
    out.push_back(char(8)); // LZW minimum code size

    constexpr int clearCode = 256;
    constexpr int endCode = 257;
    BitPacker bits;
    std::map<std::pair<int, int>, int> table;
    int nextCode = 258;
    int codeSize = 9;
    bits.put(clearCode, codeSize);
    int prefix = -1;
    for (const unsigned char index : indices) {
        if (prefix < 0) {
            prefix = index;
            continue;
        }
        const auto found = table.find({prefix, index});
        if (found != table.end()) {
            prefix = found->second;
            continue;
        }
        bits.put(prefix, codeSize);
        table[{prefix, index}] = nextCode++;
        if (nextCode - 1 >= (1 << codeSize))
            ++codeSize;
        if (nextCode - 1 == 4095) { // the table is full: start afresh
            bits.put(clearCode, codeSize);
            table.clear();
            nextCode = 258;
            codeSize = 9;
        }
        prefix = index;
    }
    if (prefix >= 0)
        bits.put(prefix, codeSize);
    bits.put(endCode, codeSize);
    const QByteArray data = bits.finish();
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype n = std::min<qsizetype>(255, data.size() - at);
        out.push_back(char(n));
        out.append(data.constData() + at, n);
    }
    out.push_back(char(0));
    out.push_back(char(0x3B));
    return out;
}
