#pragma once
// A printed sheet rendered before the printer hears of it. A print engine
// cannot take back a page it has begun (the page goes out when the painter
// ends), so a print the user may stop is rendered first: the bands on the
// render pool, each kept deflated and white ones not at all, asking the
// plan's progress as they get done. Only a complete sheet is then drawn
// onto the printer, with the pixels printSheet would send.

#include <QByteArray>
#include <vector>

class QPainter;
struct BoxDocument;
struct SheetPlan;

struct PackedBand {
    int top = 0;
    int rows = 0;
    QByteArray pixels;   // the band's RGB32 rows, compressed with qCompress
};

struct PackedSheet {
    int width = 0;
    std::vector<PackedBand> bands;   // top to bottom, white bands left out
};

// Renders the plan's printable area in bands of bandHeight rows (0: about
// 16 MB a band). False when a pass is under way on this thread, memory is
// short or plan.progress stopped it; sheet is then empty.
bool packSheet(const BoxDocument& doc, const SheetPlan& plan, PackedSheet& sheet, double screenDpi = 0,
               int bandHeight = 0);

// Draws the bands at their rows onto a device whose painter coordinates
// are device pixels, losslessly. False when a band cannot be unpacked.
bool drawPackedSheet(QPainter& device, const PackedSheet& sheet);
