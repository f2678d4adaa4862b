#include "Gunzip.h"

#include "Fixtures.h"

#include <QFile>

#include <gtest/gtest.h>
#include <zlib.h>

QByteArray gunzippedFixture(const QString& relative)
{
    QFile file(fixture(relative));
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "missing fixture " << relative.toStdString();
        return {};
    }
    QByteArray packed = file.readAll();
    z_stream stream{};
    // 16 + the largest window: a gzip wrapper, not zlib's own.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK)
        return {};
    stream.next_in = reinterpret_cast<Bytef*>(packed.data());
    stream.avail_in = uInt(packed.size());
    QByteArray unpacked;
    int status = Z_OK;
    while (status == Z_OK) {
        const qsizetype done = unpacked.size();
        unpacked.resize(done + (1 << 20));
        stream.next_out = reinterpret_cast<Bytef*>(unpacked.data() + done);
        stream.avail_out = uInt(unpacked.size() - done);
        status = inflate(&stream, Z_NO_FLUSH);
        unpacked.resize(unpacked.size() - qsizetype(stream.avail_out));
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END) {
        ADD_FAILURE() << "not a whole gzip file: " << relative.toStdString();
        return {};
    }
    return unpacked;
}
