#include "pictures/GifAnimation.h"

#include <QHash>

#include <gif_lib.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A colour of the frames and how many pixels have it.
struct Tally
{
    QRgb rgb;
    qint64 count;
};

int component(QRgb rgb, int channel)
{
    return channel == 0 ? qRed(rgb) : channel == 1 ? qGreen(rgb) : qBlue(rgb);
}

// A box of the median cut: colours [begin, end) of the tally, and its widest channel.
struct Box
{
    size_t begin;
    size_t end;
    int channel = 0;
    int extent = 0;
};

Box boxOf(const std::vector<Tally>& tally, size_t begin, size_t end)
{
    Box box{begin, end};
    for (int channel = 0; channel < 3; ++channel) {
        const auto [low, high] =
            std::minmax_element(tally.begin() + qsizetype(begin), tally.begin() + qsizetype(end),
                                [channel](const Tally& a, const Tally& b) {
                                    return component(a.rgb, channel) < component(b.rgb, channel);
                                });
        const int extent = component(high->rgb, channel) - component(low->rgb, channel);
        if (extent > box.extent) {
            box.extent = extent;
            box.channel = channel;
        }
    }
    return box;
}

// Splits the widest box at its pixels' median along its widest channel until there are `colours`
// boxes or none can be split, and gives each colour the index of its box. Each box's colour is
// its pixels' mean. Full 8 bits a channel: coronagraph crops are mostly one ramp of a colour
// table, and a faint object is a few levels on it (giflib's own quantiser works at 5 bits).
QList<QRgb> medianCut(std::vector<Tally>& tally, int colours, QHash<QRgb, uchar>& indexOf)
{
    if (tally.empty())
        return {};
    std::vector<Box> boxes{boxOf(tally, 0, tally.size())};
    while (int(boxes.size()) < colours) {
        const auto widest = std::max_element(boxes.begin(), boxes.end(),
                                             [](const Box& a, const Box& b) { return a.extent < b.extent; });
        if (widest->extent == 0)
            break;
        const Box box = *widest;
        const auto first = tally.begin() + qsizetype(box.begin);
        const auto last = tally.begin() + qsizetype(box.end);
        std::sort(first, last, [channel = box.channel](const Tally& a, const Tally& b) {
            return component(a.rgb, channel) < component(b.rgb, channel);
        });
        qint64 total = 0;
        for (auto at = first; at != last; ++at)
            total += at->count;
        // The median pixel, keeping at least one colour on each side.
        size_t split = box.begin + 1;
        for (qint64 below = first->count; split + 1 < box.end && 2 * below < total; ++split)
            below += tally[split].count;
        *widest = boxOf(tally, box.begin, split);
        boxes.push_back(boxOf(tally, split, box.end));
    }
    QList<QRgb> palette;
    for (const Box& box : boxes) {
        double sum[3] = {0, 0, 0};
        qint64 count = 0;
        for (size_t i = box.begin; i < box.end; ++i) {
            for (int channel = 0; channel < 3; ++channel)
                sum[channel] += double(component(tally[i].rgb, channel)) * double(tally[i].count);
            count += tally[i].count;
            indexOf.insert(tally[i].rgb, uchar(palette.size()));
        }
        const auto mean = [&](int channel) { return int(sum[channel] / double(count) + 0.5); };
        palette << qRgb(mean(0), mean(1), mean(2));
    }
    return palette;
}

bool shareOneTable(std::span<const QImage> frames)
{
    return std::all_of(frames.begin(), frames.end(), [&](const QImage& frame) {
        return frame.format() == QImage::Format_Indexed8 &&
               frame.colorTable() == frames.front().colorTable() && !frame.colorTable().isEmpty();
    });
}

int writeToBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

// Frames of Format_Indexed8 sharing the first one's colour table.
QByteArray encodeIndexed(std::span<const QImage> frames, int delayMs)
{
    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToBytes, &error);
    if (!gif)
        return {};
    const auto close = [](GifFileType* file) {
        int ignored = 0;
        return EGifCloseFile(file, &ignored);
    };
    std::unique_ptr<GifFileType, decltype(close)> owned(gif, close);

    const QList<QRgb> table = frames.front().colorTable();
    const int bits = GifBitSize(int(table.size())); // the table's entries, a power of two
    std::vector<GifColorType> colours(size_t(1) << bits, GifColorType{0, 0, 0});
    for (qsizetype i = 0; i < table.size(); ++i)
        colours[size_t(i)] = {GifByteType(qRed(table[i])), GifByteType(qGreen(table[i])),
                              GifByteType(qBlue(table[i]))};
    ColorMapObject* map = GifMakeMapObject(int(colours.size()), colours.data());
    const int width = frames.front().width();
    const int height = frames.front().height();
    EGifSetGifVersion(gif, true);
    // The screen description keeps a copy of the map.
    const bool described = map && EGifPutScreenDesc(gif, width, height, bits, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!described)
        return {};

    const bool animated = frames.size() > 1;
    if (animated) {
        // Loop forever: the NETSCAPE2.0 application extension with a loop count of 0.
        static const char application[] = "NETSCAPE2.0";
        const unsigned char loops[] = {1, 0, 0};
        if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK ||
            EGifPutExtensionBlock(gif, 11, application) != GIF_OK ||
            EGifPutExtensionBlock(gif, 3, loops) != GIF_OK || EGifPutExtensionTrailer(gif) != GIF_OK)
            return {};
    }
    GraphicsControlBlock control{};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.DelayTime = std::clamp((delayMs + 5) / 10, 0, 65535);
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType controlBytes[4];
    const int controlLength = EGifGCBToExtension(&control, controlBytes);
    // giflib masks the pixels of a line in place: each row goes through a copy.
    std::vector<GifPixelType> row(static_cast<size_t>(width));
    for (const QImage& frame : frames) {
        if (animated && EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, controlLength, controlBytes) != GIF_OK)
            return {};
        if (EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) != GIF_OK)
            return {};
        for (int y = 0; y < height; ++y) {
            std::copy_n(frame.constScanLine(y), width, row.begin());
            if (EGifPutLine(gif, row.data(), width) != GIF_OK)
                return {};
        }
    }
    if (close(owned.release()) != GIF_OK)
        return {};
    return out;
}

} // namespace

std::vector<QImage> indexedFrames(std::span<const QImage> frames)
{
    if (shareOneTable(frames))
        return {frames.begin(), frames.end()};
    std::vector<QImage> pixels;
    QHash<QRgb, qint64> counts;
    for (const QImage& frame : frames) {
        pixels.push_back(frame.convertToFormat(QImage::Format_RGB32));
        for (int y = 0; y < frame.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(pixels.back().constScanLine(y));
            for (int x = 0; x < frame.width(); ++x)
                ++counts[line[x] | 0xff000000u];
        }
    }
    std::vector<Tally> tally;
    tally.reserve(size_t(counts.size()));
    for (auto at = counts.cbegin(); at != counts.cend(); ++at)
        tally.push_back({at.key(), at.value()});
    // Few colours are kept exactly; a median cut of so few boxes is the same thing.
    QHash<QRgb, uchar> indexOf;
    const QList<QRgb> palette = medianCut(tally, 256, indexOf);

    std::vector<QImage> indexed;
    for (const QImage& frame : pixels) {
        QImage out(frame.size(), QImage::Format_Indexed8);
        out.setColorTable(palette);
        for (int y = 0; y < frame.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(frame.constScanLine(y));
            uchar* to = out.scanLine(y);
            for (int x = 0; x < frame.width(); ++x)
                to[x] = indexOf.value(line[x] | 0xff000000u);
        }
        indexed.push_back(std::move(out));
    }
    return indexed;
}

QByteArray encodeGif(std::span<const QImage> frames, int delayMs)
{
    if (frames.empty() || frames.front().isNull() ||
        std::any_of(frames.begin(), frames.end(),
                    [&](const QImage& frame) { return frame.size() != frames.front().size(); }))
        return {};
    if (shareOneTable(frames))
        return encodeIndexed(frames, delayMs);
    const std::vector<QImage> indexed = indexedFrames(frames);
    return encodeIndexed(indexed, delayMs);
}
