#include "image/OwnDecoders.h"
#include "image/OwnEncoders.h"

#include <cstring>

#include <gif_lib.h>

#include <memory>
#include <vector>

namespace {

int appendToArray(GifFileType* gif, const GifByteType* data, int length) {
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

int firstTransparentIndex(const QVector<QRgb>& table) {
    for (int i = 0; i < table.size(); ++i)
        if (qAlpha(table[i]) == 0) return i;
    return NO_TRANSPARENT_COLOR;
}

struct MapDeleter {
    void operator()(ColorMapObject* m) const { GifFreeMapObject(m); }
};

}  // namespace

QByteArray EncodeGif(const DibHandle& source) {
    if (source.isEmpty() || source.DibWidth() > 65535 || source.DibHeight() > 65535) return {};
    const DibHandle dib = ToPalettised(source);
    if (dib.isEmpty()) return {};
    const QImage& img = dib.image();
    const QVector<QRgb> table = dib.colorTable();
    // A GIF colour map holds a power of two entries; the record's depth is one.
    const int mapSize = source.hasPalette() ? source.DibColorCount() : 256;
    std::vector<GifColorType> colours(static_cast<size_t>(mapSize), GifColorType{0, 0, 0});
    for (int i = 0; i < table.size() && i < mapSize; ++i)
        colours[size_t(i)] = GifColorType{GifByteType(qRed(table[i])), GifByteType(qGreen(table[i])),
                                          GifByteType(qBlue(table[i]))};
    std::unique_ptr<ColorMapObject, MapDeleter> map(GifMakeMapObject(mapSize, colours.data()));
    if (!map) return {};

    QByteArray out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, appendToArray, &error);
    if (!gif) return {};
    const int transparent = firstTransparentIndex(table);
    bool ok = true;
    EGifSetGifVersion(gif, transparent != NO_TRANSPARENT_COLOR);
    ok = EGifPutScreenDesc(gif, img.width(), img.height(), 8, 0, map.get()) == GIF_OK;
    if (ok && transparent != NO_TRANSPARENT_COLOR) {
        GraphicsControlBlock gcb{};
        gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
        gcb.UserInputFlag = false;
        gcb.DelayTime = 0;
        gcb.TransparentColor = transparent;
        GifByteType extension[4];
        const size_t len = EGifGCBToExtension(&gcb, extension);
        ok = EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), extension) == GIF_OK;
    }
    ok = ok && EGifPutImageDesc(gif, 0, 0, img.width(), img.height(), false, nullptr) == GIF_OK;
    std::vector<GifPixelType> row(size_t(img.width()));
    for (int y = 0; ok && y < img.height(); ++y) {
        const uchar* in = img.constScanLine(y);
        std::copy(in, in + img.width(), row.begin());
        ok = EGifPutLine(gif, row.data(), img.width()) == GIF_OK;
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) ok = false;
    return ok ? out : QByteArray();
}

// --- reading ------------------------------------------------------------------
// Qt's reader turns every GIF into true colour; ours keeps the colour table,
// so a GIF stays a palettised picture with its transparent index.

namespace {

struct GifSource {
    const QByteArray* data;
    qint64 pos;
};

int readFromArray(GifFileType* gif, GifByteType* buffer, int length) {
    auto* src = static_cast<GifSource*>(gif->UserData);
    const qint64 n = std::max<qint64>(0, std::min<qint64>(length, src->data->size() - src->pos));
    std::memcpy(buffer, src->data->constData() + src->pos, size_t(n));
    src->pos += n;
    return int(n);
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int error = 0;
        DGifCloseFile(gif, &error);
    }
};

}  // namespace

bool DecodeGif(const QByteArray& data, QImage& out) {
    GifSource source{&data, 0};
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&source, readFromArray, &error));
    if (!gif) return false;
    int transparent = NO_TRANSPARENT_COLOR;
    GifRecordType record = UNDEFINED_RECORD_TYPE;
    do {
        if (DGifGetRecordType(gif.get(), &record) != GIF_OK) return false;
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) != GIF_OK) return false;
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4) {
                GraphicsControlBlock gcb{};
                if (DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK) transparent = gcb.TransparentColor;
            }
            while (ext) {
                if (DGifGetExtensionNext(gif.get(), &ext) != GIF_OK) return false;
            }
        } else if (record == IMAGE_DESC_RECORD_TYPE) {
            break;
        }
    } while (record != TERMINATE_RECORD_TYPE);
    if (record != IMAGE_DESC_RECORD_TYPE) return false;
    if (DGifGetImageDesc(gif.get()) != GIF_OK) return false;

    const GifImageDesc& desc = gif->Image;
    const qint64 left = desc.Left, top = desc.Top, fw = desc.Width, fh = desc.Height;
    const qint64 width = std::max<qint64>(gif->SWidth, left + fw);
    const qint64 height = std::max<qint64>(gif->SHeight, top + fh);
    if (fw <= 0 || fh <= 0 || !DecodedSizeAllowed(width, height, 1)) return false;
    // Pixels cost at least a bit each of LZW data; refuse frames the file
    // cannot possibly hold instead of filling them from nothing.
    if (fw * fh > qint64(data.size()) * 4096) return false;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    QVector<QRgb> table;
    if (map && map->Colors) {
        for (int i = 0; i < map->ColorCount && i < 256; ++i)
            table << qRgb(map->Colors[i].Red, map->Colors[i].Green, map->Colors[i].Blue);
    } else {
        table << qRgb(0, 0, 0) << qRgb(255, 255, 255);
    }
    const int size = table.size() <= 2 ? 2 : table.size() <= 16 ? 16 : 256;
    while (table.size() < size) table << qRgb(0, 0, 0);
    if (transparent >= 0 && transparent < size) table[transparent] &= 0x00FFFFFFu;

    QImage img(int(width), int(height), QImage::Format_Indexed8);
    if (img.isNull()) return false;
    const int background = transparent >= 0 && transparent < size ? transparent
                           : gif->SBackGroundColor < size         ? gif->SBackGroundColor
                                                                   : 0;
    img.fill(uint(background));
    std::vector<GifPixelType> line(static_cast<size_t>(fw));
    auto putLine = [&](qint64 row) {
        if (DGifGetLine(gif.get(), line.data(), int(fw)) != GIF_OK) return false;
        uchar* o = img.scanLine(int(top + row)) + left;
        for (qint64 x = 0; x < fw; ++x) o[x] = line[size_t(x)] < size ? line[size_t(x)] : 0;
        return true;
    };
    if (desc.Interlace) {
        static const int start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
        for (int pass = 0; pass < 4; ++pass)
            for (qint64 row = start[pass]; row < fh; row += step[pass])
                if (!putLine(row)) return false;
    } else {
        for (qint64 row = 0; row < fh; ++row)
            if (!putLine(row)) return false;
    }
    img.setColorTable(table);
    out = img;
    return true;
}
