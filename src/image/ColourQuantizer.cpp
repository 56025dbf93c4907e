#include "image/OwnEncoders.h"

#include <QHash>
#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr int kBits = 6;                    // histogram precision per channel
constexpr int kLevels = 1 << kBits;
constexpr int kShift = 8 - kBits;

inline int binOf(QRgb c) {
    return ((qRed(c) >> kShift) << (2 * kBits)) | ((qGreen(c) >> kShift) << kBits) | (qBlue(c) >> kShift);
}

struct Bin {
    int index;          // histogram cell
    quint32 count;
    quint64 sum[3];     // full-precision sums for the cell's mean colour
    int channel(int c) const { return (index >> (kBits * (2 - c))) & (kLevels - 1); }
};

struct Box {
    int begin, end;     // range in the bin array
    quint64 pixels;
    int widestChannel;
    int extent;
};

Box makeBox(std::vector<Bin>& bins, int begin, int end) {
    Box box{begin, end, 0, 0, 0};
    int lo[3] = {kLevels, kLevels, kLevels}, hi[3] = {-1, -1, -1};
    for (int i = begin; i < end; ++i) {
        box.pixels += bins[i].count;
        for (int c = 0; c < 3; ++c) {
            lo[c] = std::min(lo[c], bins[i].channel(c));
            hi[c] = std::max(hi[c], bins[i].channel(c));
        }
    }
    // Green weighs most for the eye, blue least.
    static const int weight[3] = {3, 4, 2};
    for (int c = 0; c < 3; ++c) {
        const int e = (hi[c] - lo[c]) * weight[c];
        if (e > box.extent) {
            box.extent = e;
            box.widestChannel = c;
        }
    }
    return box;
}

bool exactPalette(const QImage& img, QVector<QRgb>& table, QImage& out) {
    QHash<QRgb, int> seen;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (x > 0 && c == (line[x - 1] | 0xFF000000u)) continue;
            if (!seen.contains(c)) {
                if (seen.size() == 256) return false;
                seen.insert(c, int(seen.size()));
            }
        }
    }
    table = QVector<QRgb>(seen.size());
    for (auto it = seen.cbegin(); it != seen.cend(); ++it) table[it.value()] = it.key();
    QRgb last = 0;
    int lastIndex = -1;
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uchar* o = out.scanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (c != last || lastIndex < 0) {
                last = c;
                lastIndex = seen.value(c);
            }
            o[x] = uchar(lastIndex);
        }
    }
    return true;
}

}  // namespace

DibHandle ToPalettised(const DibHandle& dib) {
    if (dib.isEmpty() || dib.hasPalette()) return dib;
    const QImage& img = dib.image();
    QImage out(img.size(), QImage::Format_Indexed8);
    if (out.isNull()) return DibHandle();
    out.setDotsPerMeterX(img.dotsPerMeterX());
    out.setDotsPerMeterY(img.dotsPerMeterY());
    QVector<QRgb> table;
    if (exactPalette(img, table, out)) {
        out.setColorTable(table);
        return DibHandle(out, 8);
    }

    std::vector<Bin> cells(size_t(kLevels) * kLevels * kLevels);
    for (size_t i = 0; i < cells.size(); ++i) cells[i] = Bin{int(i), 0, {0, 0, 0}};
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            Bin& b = cells[size_t(binOf(line[x]))];
            ++b.count;
            b.sum[0] += quint64(qRed(line[x]));
            b.sum[1] += quint64(qGreen(line[x]));
            b.sum[2] += quint64(qBlue(line[x]));
        }
    }
    std::vector<Bin> bins;
    for (const Bin& b : cells)
        if (b.count) bins.push_back(b);

    // Median cut: split the box with the most pixels times extent along its
    // widest channel at the pixel median, until there are 256 boxes.
    std::vector<Box> boxes{makeBox(bins, 0, int(bins.size()))};
    while (boxes.size() < 256) {
        int pick = -1;
        double best = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].end - boxes[i].begin < 2 || boxes[i].extent == 0) continue;
            const double score = double(boxes[i].pixels) * boxes[i].extent;
            if (score > best) {
                best = score;
                pick = int(i);
            }
        }
        if (pick < 0) break;
        const Box box = boxes[size_t(pick)];
        const int c = box.widestChannel;
        std::sort(bins.begin() + box.begin, bins.begin() + box.end,
                  [c](const Bin& a, const Bin& b) { return a.channel(c) < b.channel(c); });
        quint64 acc = 0;
        int split = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; ++i) {
            acc += bins[size_t(i)].count;
            split = i + 1;
            if (acc * 2 >= box.pixels) break;
        }
        boxes[size_t(pick)] = makeBox(bins, box.begin, split);
        boxes.push_back(makeBox(bins, split, box.end));
    }

    table.clear();
    for (const Box& box : boxes) {
        quint64 s[3] = {0, 0, 0}, n = 0;
        for (int i = box.begin; i < box.end; ++i) {
            for (int c = 0; c < 3; ++c) s[c] += bins[size_t(i)].sum[c];
            n += bins[size_t(i)].count;
        }
        table << qRgb(int((s[0] + n / 2) / n), int((s[1] + n / 2) / n), int((s[2] + n / 2) / n));
    }

    // Each occupied cell maps to the nearest palette colour (not merely its
    // box's), measured from the cell's own mean colour.
    std::vector<uchar> lookup(cells.size(), 0);
    for (const Bin& b : bins) {
        const int r = int(b.sum[0] / b.count), g = int(b.sum[1] / b.count), bl = int(b.sum[2] / b.count);
        int bestIndex = 0;
        int bestDist = INT32_MAX;
        for (int i = 0; i < table.size(); ++i) {
            const int dr = r - qRed(table[i]), dg = g - qGreen(table[i]), db = bl - qBlue(table[i]);
            const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestDist) {
                bestDist = d;
                bestIndex = i;
            }
        }
        lookup[size_t(b.index)] = uchar(bestIndex);
    }
    for (int y = 0; y < img.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        uchar* o = out.scanLine(y);
        for (int x = 0; x < img.width(); ++x) o[x] = lookup[size_t(binOf(line[x]))];
    }
    out.setColorTable(table);
    return DibHandle(out, 8);
}
