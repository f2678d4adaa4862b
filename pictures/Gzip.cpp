#include "pictures/Gzip.h"

#include <zlib.h>

#include <algorithm>

bool isGzip(const QByteArray& bytes)
{
    return bytes.size() >= 2 && quint8(bytes[0]) == 0x1f && quint8(bytes[1]) == 0x8b;
}

std::optional<QByteArray> gunzip(const QByteArray& bytes, qint64 limit, LoadFailure* why)
{
    const auto refuse = [why](LoadFailure reason) -> std::optional<QByteArray> {
        if (why)
            *why = reason;
        return std::nullopt;
    };
    if (!isGzip(bytes))
        return refuse(LoadFailure::Damaged);
    z_stream stream{};
    // 16 + the largest window: a gzip header and trailer around the deflate data.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return refuse(LoadFailure::Damaged);
    QByteArray out;
    // Compressed FITS frames shrink to a third or so; a guess that rarely needs growing twice.
    out.resize(qsizetype(std::min<qint64>(limit, std::max<qint64>(64 * 1024, 4 * qint64(bytes.size())))));
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    qint64 consumed = 0;
    qint64 produced = 0;
    int result = Z_OK;
    while (true) {
        // zlib counts in uInt: feed and take at most 1 GB at a time.
        const qint64 inLeft = std::min<qint64>(bytes.size() - consumed, 1 << 30);
        if (produced == out.size()) {
            if (produced >= limit) {
                inflateEnd(&stream);
                return refuse(LoadFailure::PictureTooLarge);
            }
            out.resize(qsizetype(std::min<qint64>(limit, 2 * produced)));
        }
        const qint64 outLeft = std::min<qint64>(out.size() - produced, 1 << 30);
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData())) + consumed;
        stream.avail_in = uInt(inLeft);
        stream.next_out = reinterpret_cast<Bytef*>(out.data()) + produced;
        stream.avail_out = uInt(outLeft);
        result = inflate(&stream, Z_NO_FLUSH);
        consumed += inLeft - stream.avail_in;
        produced += outLeft - stream.avail_out;
        if (result == Z_STREAM_END) {
            // Another member may follow, as gunzip reads concatenated files.
            if (consumed >= bytes.size() || !isGzip(bytes.mid(consumed, 2)))
                break;
            inflateReset(&stream);
            continue;
        }
        if (result == Z_BUF_ERROR && consumed >= bytes.size()) {
            inflateEnd(&stream);
            return refuse(LoadFailure::CutOff);
        }
        if (result != Z_OK && result != Z_BUF_ERROR) {
            inflateEnd(&stream);
            return refuse(LoadFailure::Damaged);
        }
    }
    inflateEnd(&stream);
    out.resize(qsizetype(produced));
    return out;
}

QByteArray gunzipHead(const QByteArray& bytes, qint64 count)
{
    z_stream stream{};
    if (!isGzip(bytes) || count <= 0 || inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return {};
    QByteArray out(qsizetype(std::min<qint64>(count, 1 << 30)), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    stream.avail_in = uInt(std::min<qint64>(bytes.size(), 1 << 30));
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    // As far as the bytes given go, or until the head is whole: a stream cut short is no fault here.
    const int result = inflate(&stream, Z_SYNC_FLUSH);
    const qsizetype produced = out.size() - qsizetype(stream.avail_out);
    inflateEnd(&stream);
    if (result != Z_OK && result != Z_STREAM_END && result != Z_BUF_ERROR)
        return {};
    out.resize(produced);
    return out;
}
