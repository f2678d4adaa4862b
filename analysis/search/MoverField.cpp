// Where the field of view is, found from the frames themselves: a coronagraph's browse frames
// paint the occulter and the corners beyond the field in one flat colour, which holds exactly the
// same level in every frame, while the sky never does (nor is it that one colour, which matters
// where frames share one background without noise). Burnt-in date labels and logos are white
// text that changes (the minutes) or sits on the sky. Everything here works on blocks of 8 x 8
// pixels, JPEG's own blocks, whose ringing at a sharp edge stays inside the block.
#include "analysis/search/MoverDetect.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

using namespace detect;

namespace {

constexpr int block = 8;           // pixels
constexpr float flatSpread = 3.0f; // grey levels a flat block's pixels may lie off the flat colour
constexpr int flatShare = 48;      // of a block's 64 pixels flat: the block is outside the field
constexpr int minFlatBlocks = 24;  // blocks a flat area must hold: a smaller one is dark sky
constexpr int textPixels = 4;  // white pixels that make a block text in a frame; in 3/4 of them, a label's
constexpr int labelBlocks = 4; // blocks of text side by side that make a label
constexpr int closing = 2;     // blocks: gaps this wide between masked areas are closed
constexpr int margin = 1;      // blocks masked around what is outside the field

struct Grid
{
    int columns = 0, rows = 0;
    std::vector<unsigned char> cells;
    unsigned char& at(int c, int r) { return cells[size_t(r) * size_t(columns) + size_t(c)]; }
    unsigned char get(int c, int r) const
    {
        return c < 0 || r < 0 || c >= columns || r >= rows ? 0
                                                           : cells[size_t(r) * size_t(columns) + size_t(c)];
    }
};

// Widens (grow) or narrows (!grow) the marked cells by `reach` cells; the edge of the frame
// counts as marked when narrowing, so that a mask along it stays.
Grid morph(const Grid& in, int reach, bool grow)
{
    Grid out = in;
    for (int r = 0; r < in.rows; ++r) {
        for (int c = 0; c < in.columns; ++c) {
            bool any = false, all = true;
            for (int dr = -reach; dr <= reach; ++dr) {
                for (int dc = -reach; dc <= reach; ++dc) {
                    const int cc = c + dc, rr = r + dr;
                    const bool inside = cc >= 0 && rr >= 0 && cc < in.columns && rr < in.rows;
                    const bool marked = inside ? in.get(cc, rr) != 0 : !grow;
                    any = any || marked;
                    all = all && marked;
                }
            }
            out.at(c, r) = grow ? any : all;
        }
    }
    return out;
}

// Leaves out the marked areas (8-connected) of fewer than `least` cells.
void dropSmall(Grid& grid, int least)
{
    std::vector<int> label(grid.cells.size(), -1);
    std::vector<size_t> members, pending;
    for (size_t start = 0; start < grid.cells.size(); ++start) {
        if (!grid.cells[start] || label[start] >= 0)
            continue;
        members.clear();
        pending.assign(1, start);
        label[start] = 1;
        while (!pending.empty()) {
            const size_t i = pending.back();
            pending.pop_back();
            members.push_back(i);
            const int c = int(i % size_t(grid.columns)), r = int(i / size_t(grid.columns));
            for (int dr = -1; dr <= 1; ++dr) {
                for (int dc = -1; dc <= 1; ++dc) {
                    if (!grid.get(c + dc, r + dr))
                        continue;
                    const size_t j = size_t(r + dr) * size_t(grid.columns) + size_t(c + dc);
                    if (label[j] < 0) {
                        label[j] = 1;
                        pending.push_back(j);
                    }
                }
            }
        }
        if (int(members.size()) < least)
            for (const size_t i : members)
                grid.cells[i] = 0;
    }
}

} // namespace

void detect::maskOutsideField(Planes& planes)
{
    const int width = planes.width, height = planes.height;
    Grid flat{(width + block - 1) / block, (height + block - 1) / block, {}};
    flat.cells.assign(size_t(flat.columns) * size_t(flat.rows), 0);
    Grid text = flat;
    // Only an exact repeat is flat: JPEG flattens faint noise in a block now and then (in the sky
    // of a quality-90 frame a third of the blocks vary by 3 levels or less), but a flat colour it
    // writes the same way every time.
    std::vector<int> flatCount(flat.cells.size(), 0);
    // Per block and frame, the pixels saturated there: a label stays where it is while a bright
    // comet's head, as white, passes a block in a frame or two.
    const size_t n = planes.frames;
    std::vector<int> white(flat.cells.size() * n, 0);
    std::vector<float> lowest(flat.cells.size(), INFINITY), highest(flat.cells.size(), -INFINITY);
    parallelFor(flat.rows, [&](int blockRow) {
        std::vector<size_t> flagged; // the frames with a saturated or black pixel in the row
        for (int y = blockRow * block; y < std::min(height, (blockRow + 1) * block); ++y) {
            flagged.clear();
            for (size_t f = 0; f < planes.frames; ++f)
                if (planes.flaggedRows[f][size_t(y)])
                    flagged.push_back(f);
            const size_t row = planes.at(0, y);
            for (int x0 = 0, c = 0; x0 < width; x0 += block, ++c) {
                const size_t cell = size_t(blockRow) * size_t(flat.columns) + size_t(c);
                for (size_t i = row + size_t(x0); i < row + size_t(std::min(width, x0 + block)); ++i) {
                    flatCount[cell] += planes.range[i] <= 0;
                    lowest[cell] = std::min(lowest[cell], planes.median[i]);
                    highest[cell] = std::max(highest[cell], planes.median[i]);
                    for (const size_t f : flagged)
                        white[cell * n + f] += (planes.flags[f][i] & Saturated) != 0;
                }
            }
        }
    });
    // The flat colour: the commonest level of the blocks that repeat exactly and hold one colour.
    const auto oneColour = [&](size_t cell) {
        return flatCount[cell] >= flatShare && highest[cell] - lowest[cell] <= flatSpread;
    };
    std::unordered_map<long, int> levels;
    for (size_t cell = 0; cell < flat.cells.size(); ++cell)
        if (oneColour(cell))
            ++levels[std::lround(lowest[cell])];
    long mode = 0;
    int most = 0;
    for (const auto& [level, count] : levels)
        if (count > most || (count == most && level < mode))
            mode = level, most = count;
    const float flatLevel = float(mode);
    // Frames that repeat over most of the picture share a background without noise: there only
    // the flat colour is outside the field. Real frames repeat where they are flat (the static
    // logo and labels included) and nowhere else.
    const size_t repeating =
        size_t(std::count_if(flatCount.begin(), flatCount.end(), [](int c) { return c >= flatShare; }));
    const bool noiseless = repeating > flat.cells.size() / 2;
    for (size_t cell = 0; cell < flat.cells.size(); ++cell) {
        flat.cells[cell] = noiseless ? oneColour(cell) && lowest[cell] >= flatLevel - flatSpread &&
                                           highest[cell] <= flatLevel + flatSpread
                                     : flatCount[cell] >= flatShare;
        const int* frames = white.data() + cell * n;
        text.cells[cell] =
            4 * std::count_if(frames, frames + n, [](int w) { return w >= textPixels; }) >= 3 * int(n);
    }
    dropSmall(flat, minFlatBlocks);
    // A label is a row of text blocks; a hit or a star whitens one or two.
    Grid words = morph(text, 1, true);
    dropSmall(words, 3 * (labelBlocks + 2));
    for (size_t cell = 0; cell < flat.cells.size(); ++cell)
        flat.cells[cell] = flat.cells[cell] || (words.cells[cell] && text.cells[cell]);
    const Grid masked = morph(morph(morph(flat, closing, true), closing, false), margin, true);
    parallelFor(masked.rows, [&](int blockRow) {
        for (int y = blockRow * block; y < std::min(height, (blockRow + 1) * block); ++y)
            for (int c = 0; c < masked.columns; ++c)
                if (masked.get(c, blockRow))
                    std::fill_n(planes.steady.begin() + std::ptrdiff_t(planes.at(c * block, y)),
                                std::min(block, width - c * block), 1);
    });
}
