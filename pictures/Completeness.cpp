#include "pictures/Completeness.h"

namespace {

inline int byteAt(const QByteArray& data, qsizetype i)
{
    return static_cast<unsigned char>(data.at(i));
}

// Skips GIF data sub-blocks starting at `pos`; returns the position after the terminator, or -1
// when the data ends first.
qsizetype skipSubBlocks(const QByteArray& data, qsizetype pos)
{
    while (pos < data.size()) {
        const int length = byteAt(data, pos);
        pos += 1;
        if (length == 0)
            return pos;
        pos += length;
    }
    return -1;
}

// Each of these is given bytes whose signature names its format.
Completeness jpegCompleteness(const QByteArray& data)
{
    const qsizetype size = data.size();
    if (size < 4)
        return Completeness::CutOff;
    qsizetype pos = 2;
    while (pos < size) {
        // Find the next marker; fill bytes (FF FF ...) may precede it.
        if (byteAt(data, pos) != 0xFF) {
            ++pos; // junk between segments: skip it as the decoder does
            continue;
        }
        while (pos < size && byteAt(data, pos) == 0xFF)
            ++pos;
        if (pos >= size)
            return Completeness::CutOff;
        const int marker = byteAt(data, pos++);
        if (marker == 0xD9)
            return Completeness::Whole; // end of image
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x00)
            continue; // no length field
        if (pos + 2 > size)
            return Completeness::CutOff;
        const qsizetype length = (byteAt(data, pos) << 8) | byteAt(data, pos + 1);
        if (length < 2)
            return Completeness::Broken;
        pos += length;
        if (pos > size)
            return Completeness::CutOff;
        if (marker == 0xDA) {
            // Entropy-coded data runs to the next marker other than a stuffed zero or a restart.
            while (pos + 1 < size) {
                if (byteAt(data, pos) == 0xFF) {
                    const int next = byteAt(data, pos + 1);
                    if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF) {
                        pos += (next == 0xFF) ? 1 : 2;
                        continue;
                    }
                    break; // a marker: back to the segment loop
                }
                ++pos;
            }
            if (pos + 1 >= size)
                return Completeness::CutOff;
        }
    }
    return Completeness::CutOff;
}

Completeness gifCompleteness(const QByteArray& data)
{
    const qsizetype size = data.size();
    if (size < 13)
        return Completeness::CutOff;
    qsizetype pos = 13;
    const int screenFlags = byteAt(data, 10);
    if (screenFlags & 0x80)
        pos += 3 * (qsizetype(1) << ((screenFlags & 0x07) + 1));
    while (pos < size) {
        const int block = byteAt(data, pos++);
        if (block == 0x21) { // extension: label, then sub-blocks
            if (pos >= size)
                return Completeness::CutOff;
            pos = skipSubBlocks(data, pos + 1);
            if (pos < 0)
                return Completeness::CutOff;
        } else if (block == 0x2C) { // image descriptor
            if (pos + 9 > size)
                return Completeness::CutOff;
            const int imageFlags = byteAt(data, pos + 8);
            pos += 9;
            if (imageFlags & 0x80)
                pos += 3 * (qsizetype(1) << ((imageFlags & 0x07) + 1));
            if (pos >= size)
                return Completeness::CutOff;
            // LZW minimum code size, then the image data.
            return skipSubBlocks(data, pos + 1) >= 0 ? Completeness::Whole : Completeness::CutOff;
        } else {
            return Completeness::Broken; // trailer or garbage before any image: nothing to show
        }
    }
    return Completeness::CutOff;
}

Completeness pngCompleteness(const QByteArray& data)
{
    // The last chunk is IEND (empty, so its CRC follows at once); tolerate trailing bytes.
    const qsizetype at = data.lastIndexOf("IEND");
    return at >= 12 && at + 8 <= data.size() ? Completeness::Whole : Completeness::CutOff;
}

} // namespace

QSize gifScreenSize(const QByteArray& data)
{
    if (data.size() < 13 || !data.startsWith("GIF8"))
        return {};
    return {byteAt(data, 6) | (byteAt(data, 7) << 8), byteAt(data, 8) | (byteAt(data, 9) << 8)};
}

QSize gifFirstFrameSize(const QByteArray& data)
{
    if (data.size() < 13 || !data.startsWith("GIF8"))
        return {};
    qsizetype pos = 13;
    const int screenFlags = byteAt(data, 10);
    if (screenFlags & 0x80)
        pos += 3 * (qsizetype(1) << ((screenFlags & 0x07) + 1));
    while (pos < data.size()) {
        const int block = byteAt(data, pos++);
        if (block == 0x21) {
            if (pos >= data.size())
                return {};
            pos = skipSubBlocks(data, pos + 1);
            if (pos < 0)
                return {};
        } else if (block == 0x2C) {
            if (pos + 9 > data.size())
                return {};
            const int width = byteAt(data, pos + 4) | (byteAt(data, pos + 5) << 8);
            const int height = byteAt(data, pos + 6) | (byteAt(data, pos + 7) << 8);
            return {width, height};
        } else {
            return {};
        }
    }
    return {};
}

QByteArray pictureFormat(const QByteArray& data)
{
    if (data.startsWith("\xFF\xD8\xFF"))
        return QByteArrayLiteral("jpeg");
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return QByteArrayLiteral("gif");
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("png");
    return {};
}

Completeness pictureCompleteness(const QByteArray& data)
{
    const QByteArray format = pictureFormat(data);
    if (format == "jpeg")
        return jpegCompleteness(data);
    if (format == "gif")
        return gifCompleteness(data);
    if (format == "png")
        return pngCompleteness(data);
    return Completeness::Broken;
}

bool isCompletePicture(const QByteArray& data)
{
    return pictureCompleteness(data) == Completeness::Whole;
}
