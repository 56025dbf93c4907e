// Our own decoders meet truncated and scrambled files: they must refuse
// cleanly (no crash, no hang, no giant allocation).

#include "image/ImageLoader.h"
#include "image/ImageWriter.h"
#include "image/OwnDecoders.h"
#include "ImageTestUtil.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

struct Own {
    int code;
    const char* hint;
};

class DamagedFiles : public ::testing::TestWithParam<Own> {};

}  // namespace

TEST_P(DamagedFiles, TruncatedFilesFail) {
    const Own own = GetParam();
    // Qt reads RLE bitmaps and shows a cut one in part, which is harmless.
    const bool partialAllowed = own.code == FormatRle;
    for (int bits : {1, 4, 8, 24}) {
        const QByteArray good = EncodeDib(patternDib(41, 17, bits), own.code);
        ASSERT_FALSE(DecodeDib(good, own.hint).isEmpty());
        // Cut inside the pixel data: the picture is incomplete.
        for (int cut : {0, 1, 10, 30, int(good.size() / 3), int(good.size() / 2)})
            EXPECT_TRUE(partialAllowed || DecodeDib(good.left(cut), own.hint).isEmpty())
                << own.hint << " " << bits << " bits cut at " << cut;
        // Every prefix at least must not crash.
        for (int cut = 0; cut < good.size(); cut += 7) (void)DecodeDib(good.left(cut), own.hint);
    }
}

TEST_P(DamagedFiles, ScrambledBytesNeverCrash) {
    const Own own = GetParam();
    QRandomGenerator rng(1234);
    for (int bits : {1, 4, 8, 24}) {
        const QByteArray good = EncodeDib(patternDib(23, 9, bits), own.code);
        for (int round = 0; round < 300; ++round) {
            QByteArray bad = good;
            const int flips = 1 + int(rng.bounded(8));
            for (int i = 0; i < flips; ++i) {
                // the headers get more attention than the pixels
                const int limit = rng.bounded(2) ? std::min<int>(bad.size(), 64) : bad.size();
                bad[int(rng.bounded(limit))] = char(rng.bounded(256));
            }
            const DibHandle dib = DecodeDib(bad, own.hint);
            if (!dib.isEmpty()) {
                EXPECT_GT(dib.DibWidth(), 0);
                EXPECT_LE(qint64(dib.DibWidth()) * dib.DibHeight() * 4, MaxDecodedImageBytes());
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(OwnDecoders, DamagedFiles,
                         ::testing::Values(Own{FormatPcx, "pcx"}, Own{FormatIff, "iff"}, Own{FormatTga, "tga"},
                                           Own{FormatGif, "gif"}, Own{FormatRle, "rle"}),
                         [](const auto& info) { return std::string(info.param.hint); });

TEST(DamagedFiles, HeadersClaimingHugePicturesAreRefusedBeforeAllocating) {
    // PCX: 65535 x 65535, 24 bits, four bytes of body.
    QByteArray pcx(128, '\0');
    pcx[0] = 0x0A;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = pcx[9] = pcx[10] = pcx[11] = char(0xFF);
    pcx[65] = 3;
    pcx[66] = pcx[67] = char(0xFF);
    pcx += QByteArray("\xFF\x00\xFF\x00", 4);
    QImage out;
    EXPECT_FALSE(DecodePcx(pcx, out));

    // TGA: true colour 65535 x 65535 with a run-length body of one packet.
    QByteArray tga(18, '\0');
    tga[2] = 10;
    tga[12] = tga[13] = tga[14] = tga[15] = char(0xFF);
    tga[16] = 24;
    tga += QByteArray("\xFF\x01\x02\x03", 4);
    EXPECT_FALSE(DecodeTga(tga, out));

    // ILBM: a BMHD of 65535 x 65535 and an empty BODY.
    QByteArray iff("FORM\0\0\0\x2EILBMBMHD\0\0\0\x14", 20);
    iff += QByteArray("\xFF\xFF\xFF\xFF\0\0\0\0\x08\0\x01\0\0\0\x01\x01\0\0\0\0", 20);
    iff += QByteArray("BODY\0\0\0\x02\x80\x80", 10);
    EXPECT_FALSE(DecodeIlbm(iff, out));
}

TEST(OwnDecoders, ReadForeignVariants) {
    QImage out;
    // A run-length TGA, top-down, grey: 3 x 2 pixels in two packets.
    QByteArray tga(18, '\0');
    tga[2] = 11;
    tga[12] = 3;
    tga[14] = 2;
    tga[16] = 8;
    tga[17] = 0x20;
    tga += QByteArray("\x82\x10\x02\x20\x30\x40", 6);
    ASSERT_TRUE(DecodeTga(tga, out));
    EXPECT_EQ(out.format(), QImage::Format_Indexed8);
    EXPECT_EQ(out.pixelIndex(0, 0), 0x10);
    EXPECT_EQ(out.pixelIndex(2, 0), 0x10);
    EXPECT_EQ(out.pixelIndex(0, 1), 0x20);
    EXPECT_EQ(out.pixelIndex(2, 1), 0x40);

    // A chunky PBM picture as Deluxe Paint writes it: 3 x 1, uncompressed.
    QByteArray pbm("FORM\0\0\0\x3APBM BMHD\0\0\0\x14", 20);
    pbm += QByteArray("\0\x03\0\x01\0\0\0\0\x08\0\0\0\0\0\x01\x01\0\x03\0\x01", 20);
    pbm += QByteArray("CMAP\0\0\0\x06\xFF\0\0\0\xFF\0", 14);
    pbm += QByteArray("BODY\0\0\0\x04\x01\0\x01\0", 12);
    ASSERT_TRUE(DecodeIlbm(pbm, out));
    EXPECT_EQ(out.width(), 3);
    EXPECT_EQ(out.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(out.pixel(1, 0), qRgb(255, 0, 0));
}
