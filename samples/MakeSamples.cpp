// Writes the sample designs of the "Beispiele" menu into a folder (the
// samples/ folder of the sources): a game die, a gift box with a name label
// on the lid, a box with a picture background, a card box and a tea box,
// a playing-card box and a tea-bag box with tuck ends, a soap box on an
// automatic bottom,
// all made of the program's own objects and a picture drawn here. Built on request only
// (`cmake --build build --target make_samples`, then run it with the
// folder); the files it wrote are kept in the sources.
//
// The designs are laid out for the box size 100 % on New's 290 x 205 mm
// item: cube edge e = 205 mm less a fifteenth, divided by 3. Side faces lie
// in a row from the item's left edge, one edge below its top: "Vorne",
// "Rechts", "Hinten", "Links"; the "Boden" hangs below "Hinten"; the lid
// halves stand above "Rechts" and "Links". Up on a side face is towards the
// lid; on the lid halves it is towards "Hinten" (right on the half above
// "Rechts", left on the one above "Links"); on the "Boden" it is towards its
// lower edge, which meets "Vorne".

#include "box/FoldingModel.h"
#include "model/BoxDocument.h"
#include "model/BoxFile.h"
#include "model/NewDocument.h"
#include "model/PaperFormat.h"
#include "model/StreamPrompter.h"
#include "sheet/SheetRenderer.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <cmath>
#include <tuple>

namespace {

constexpr double MmPerInch = 25.39995;
constexpr double Edge = 205.0 * 14.0 / 15.0 / 3.0;   // the cube's edge in mm

// Colours as the box file holds them: 0x00BBGGRR.
constexpr std::int32_t rgb(int r, int g, int b) { return r | (g << 8) | (b << 16); }

class Design {
public:
    explicit Design(const BoxForm& form = BoxForm::cube(), PaperFormat paper = PaperFormat::A4) : paper(paper) {
        initStartupDocument(doc, 96);
        newDocument(doc, paper);
        doc.Form = form;
        // Objects count from the editing area's corner; the item is its
        // middle third.
        originX = doc.ExtentWidth / 3;
        originY = doc.ExtentHeight / 3;
    }

    // A rectangle in mm from the item's top-left corner.
    Tobs& place(ObjectKind kind, double x, double y, double w, double h) {
        const int slot = doc.Objects.takeFreeSlot();
        Tobs& o = doc.Objects[slot];
        o.resetToDefaults();
        o.Kind = kind;
        o.Left = originX + units(x);
        o.Top = originY + units(y);
        o.Width = units(w);
        o.Height = units(h);
        o.KeepAspect = 1;
        o.Shape = shRectangle;
        o.FontName = QStringLiteral("Arial");
        o.FontSize = 10;
        o.FontHeight = -13;
        return o;
    }

    Tobs& figure(ShapeCode shape, double x, double y, double w, double h, std::int32_t colour) {
        Tobs& o = place(Figure, x, y, w, h);
        o.Shape = shape;
        o.Color = colour;
        o.FillModeOrShadowColor = fmFilled;
        o.LineWidthOrTransColor = 1;
        return o;
    }

    Tobs& text(const QString& content, double x, double y, double w, double h, int points, std::int32_t colour,
               int rotation = 0) {
        Tobs& o = place(Text, x, y, w, h);
        o.Content = content;
        o.FontName = QStringLiteral("Arial");
        o.FontSize = points;
        o.FontHeight = -int(std::lround(points * 96.0 / 72.0));
        o.FontStyle = fsBold;
        o.FontColor = colour;
        o.Color = colour;
        o.Alignment = 1;
        o.Rotation = rotation;
        return o;
    }

    // Moves o so that the middle of its printed ink lies on (cx, cy), in mm
    // from the item's corner. A turned text is drawn from a corner of its
    // rectangle with the font's own metrics, so only the print can say
    // where its letters land: the object alone is printed in red beside a
    // red square centred on the point, and the difference of the two ink
    // centres is taken off (twice, for the rounding of units).
    void centreInk(Tobs& o, double cx, double cy) {
        for (int round = 0; round < 2; ++round) {
            Design probe(doc.Form, paper);
            Tobs& copy = probe.doc.Objects[probe.doc.Objects.takeFreeSlot()];
            copy = o;
            copy.Color = copy.FontColor = rgb(255, 0, 0);
            copy.Shadow = copy.Outline = 0;
            const QPointF ink = inkCentre(probe.doc);
            Design marker(doc.Form, paper);
            marker.figure(shRectangle, cx - 2, cy - 2, 4, 4, rgb(255, 0, 0));
            const QPointF target = inkCentre(marker.doc);
            if (ink.x() < 0 || target.x() < 0) return;
            o.Left += units((target.x() - ink.x()) * MmPerInch / ProbeDpi);
            o.Top += units((target.y() - ink.y()) * MmPerInch / ProbeDpi);
        }
    }

    bool save(const QString& path) {
        QTextStream err(stderr);
        StreamPrompter prompter(err);
        return Saveit(doc, path, prompter);
    }

    BoxDocument doc;

private:
    static constexpr int ProbeDpi = 300;

    // The middle of the red pixels of the printed sheet; (-1, -1) for none.
    static QPointF inkCentre(const BoxDocument& probe) {
        const QImage page = renderSheetImage(probe, 100, ProbeDpi, QSize(5200, 3700));
        int x0 = INT_MAX, y0 = INT_MAX, x1 = -1, y1 = -1;
        for (int y = 0; y < page.height(); ++y) {
            const QRgb* row = reinterpret_cast<const QRgb*>(page.constScanLine(y));
            for (int x = 0; x < page.width(); ++x)
                if (qRed(row[x]) > 200 && qGreen(row[x]) < 100 && qBlue(row[x]) < 100)
                    x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
        }
        if (x1 < 0) return {-1, -1};
        return {(x0 + x1 + 1) / 2.0, (y0 + y1 + 1) / 2.0};
    }

    static std::int32_t units(double mm) { return std::int32_t(mm / MmPerInch * 20000.0); }
    PaperFormat paper = PaperFormat::A4;
    std::int32_t originX = 0;
    std::int32_t originY = 0;
};

// Pips of a die face whose top-left corner is (x, y), for a face seen
// upright: positions in quarters of the edge, (1,1) top left.
void pips(Design& d, double x, double y, const std::vector<std::pair<int, int>>& at, std::int32_t colour,
          double size = Edge / 5) {
    for (const auto& [col, row] : at)
        d.figure(shCircle, x + col * Edge / 4 - size / 2, y + row * Edge / 4 - size / 2, size, size, colour);
}

bool makeDie(const QString& folder) {
    Design d;
    const std::int32_t black = rgb(20, 20, 20);
    const double e = Edge;
    // Opposite faces add up to 7: Vorne 2 / Hinten 5, Rechts 3 / Links 4,
    // Boden 1 / Deckel 6.
    pips(d, 0, e, {{3, 1}, {1, 3}}, black);                                   // Vorne: 2
    pips(d, e, e, {{3, 1}, {2, 2}, {1, 3}}, black);                           // Rechts: 3
    pips(d, 2 * e, e, {{1, 1}, {3, 1}, {2, 2}, {1, 3}, {3, 3}}, black);       // Hinten: 5
    pips(d, 3 * e, e, {{1, 1}, {3, 1}, {1, 3}, {3, 3}}, black);               // Links: 4
    // Boden: the one, larger and red as on many dice.
    pips(d, 2 * e, 2 * e, {{2, 2}}, rgb(200, 20, 30), e / 3.5);
    // Deckel: six in two columns, one column on each lid half, e/4 in from
    // the fold. Seen from above with Vorne in front the columns run from
    // front to back, which on the net is along each half.
    const double s = e / 5;
    for (double lidLeft : {e, 3 * e})
        for (int i = 1; i <= 3; ++i)
            d.figure(shCircle, lidLeft + i * e / 4 - s / 2, e - e / 4 - s / 2, s, s, black);
    return d.save(QDir(folder).filePath(QStringLiteral("Spielwürfel.box")));
}

bool makeGiftBox(const QString& folder) {
    Design d;
    const double e = Edge;
    const std::int32_t paper = rgb(178, 24, 43), ribbon = rgb(240, 196, 25), star = rgb(255, 236, 150);
    // The wrapping paper over the whole net, flaps included.
    d.figure(shRectangle, 0, 0, 4 * e + e / 7 + 2, 3 * e + e / 7 + 2, paper);
    // A few stars on the paper.
    for (int face = 0; face < 4; ++face)
        for (const auto& [fx, fy] : {std::pair{0.2, 0.25}, {0.78, 0.3}, {0.25, 0.8}, {0.75, 0.78}})
            d.figure(shCircle, face * e + fx * e - 2, e + fy * e - 2, 4, 4, star);
    // The ribbon: down the middle of every side face and across the floor.
    const double band = e / 8;
    for (int face = 0; face < 4; ++face) d.figure(shRectangle, face * e + e / 2 - band / 2, e, band, e, ribbon);
    d.figure(shRectangle, 2 * e + e / 2 - band / 2, 2 * e, band, e, ribbon);
    // On the lid it crosses both halves towards the middle of the top.
    for (double lidLeft : {e, 3 * e}) {
        d.figure(shRectangle, lidLeft + e / 2 - band / 2, e / 2, band, e / 2, ribbon);
        d.figure(shRectangle, lidLeft, e / 2 + e / 4 - band / 2, e, band, ribbon);
    }
    // The name label on the lid half above Rechts: a card with the name,
    // turned a quarter clockwise so that it reads upright from above with
    // Vorne in front (its top towards Hinten). A text turned so is anchored
    // at its top-left corner and runs down from there, its letters to the
    // left of the anchor.
    const double cx = e + e / 2, cy = e / 2 + e / 4;
    const double cardW = 0.3 * e, cardH = 0.44 * e;
    Tobs& card = d.figure(shRoundRect, cx - cardW / 2, cy - cardH / 2, cardW, cardH, rgb(255, 255, 255));
    card.FillModeOrShadowColor = fmFilledBorder;
    card.BorderOrOutlineColor = ribbon;
    card.LineWidthOrTransColor = 3;
    const double nameLength = 21, nameHeight = 4;
    Tobs& name = d.text(QStringLiteral("Für Anna"), cx + nameHeight / 2, cy - nameLength / 2, nameHeight,
                        nameLength, 18, rgb(150, 20, 35), 1);
    d.centreInk(name, cx, cy);
    return d.save(QDir(folder).filePath(QStringLiteral("Geschenkbox.box")));
}

// A turned text reads upright on a lid half from above with Vorne in front:
// on the half above Rechts its top points right on the net (a quarter turn
// clockwise), on the half above Links left (a quarter turn the other way).
// The first runs down from its rectangle's top-left corner with the letters
// to the left of it, the second up from the bottom-right corner with the
// letters to the right: the rectangle lies beside the line, and the line
// is moved until its printed letters are centred on (cx, cy).
Tobs& lidText(Design& d, const QString& content, bool rightHalf, double cx, double cy, double length,
              double height, int points, std::int32_t colour) {
    const double left = rightHalf ? cx + height / 2 : cx - 3 * height / 2;
    Tobs& o = d.text(content, left, cy - length / 2, height, length, points, colour, rightHalf ? 1 : 3);
    d.centreInk(o, cx, cy);
    return o;
}

// A card box for a standard deck: 63 x 88 mm cards in a 20 mm stack with a
// millimetre of play, on the card table's green.
bool makeCardBox(const QString& folder) {
    const double L = 64, B = 21, H = 89;
    Design d(BoxForm::cuboid(L, B, H));
    const std::int32_t felt = rgb(16, 94, 58), gold = rgb(232, 190, 80), red = rgb(200, 20, 40),
                       black = rgb(20, 20, 20), white = rgb(255, 255, 255);
    const double t = L, x1 = L, x2 = L + B, x3 = 2 * L + B;
    d.figure(shRectangle, 0, 0, 2 * L + 2 * B + 7, t + H + B + 7, felt);
    // Vorne and Hinten: a card each, the heart in front, the spade behind.
    for (const auto& [left, suit, ink] : {std::tuple{0.0, "♥", red}, std::tuple{x2, "♠", black}}) {
        Tobs& card = d.figure(shRoundRect, left + 9, t + 20, L - 18, H - 30, white);
        card.FillModeOrShadowColor = fmFilledBorder;
        card.BorderOrOutlineColor = gold;
        card.LineWidthOrTransColor = 3;
        d.text(QString::fromUtf8(suit), left + 12, t + 34, L - 24, 30, 54, ink);
        d.text(QString::fromUtf8(suit), left + 12, t + 22, 10, 8, 14, ink).Alignment = 0;
    }
    d.text(QStringLiteral("Spielkarten"), 2, t + 5, L - 4, 9, 14, gold);
    d.text(QStringLiteral("52 Blatt"), x2 + 2, t + 5, L - 4, 9, 12, gold);
    // The narrow sides: the four suits stacked, two red, two black.
    const char* suits[] = {"♦", "♣", "♥", "♠"};
    for (double left : {x1, x3})
        for (int i = 0; i < 4; ++i)
            d.text(QString::fromUtf8(suits[i]), left + 2, t + 10 + i * 19, B - 4, 12, 22, i % 2 ? black : red);
    // The lid: a gold coin on each half, a word across it upright from above.
    for (double left : {x1, x3}) {
        const double cx = left + B / 2, cy = t - L / 4;
        d.figure(shCircle, cx - 8, cy - 8, 16, 16, gold);
    }
    lidText(d, QStringLiteral("Deck"), true, x1 + B / 2, t - L / 4, 14, 5, 11, felt);
    lidText(d, QStringLiteral("Deck"), false, x3 + B / 2, t - L / 4, 14, 5, 11, felt);
    return d.save(QDir(folder).filePath(QStringLiteral("Kartenschachtel.box")));
}

// A tea box of 70 x 45 x 110 mm on A3: leaves on a green ground, the name
// in front, how to make it behind.
bool makeTeaBox(const QString& folder) {
    const double L = 70, B = 45, H = 110;
    Design d(BoxForm::cuboid(L, B, H), PaperFormat::A3);
    const std::int32_t green = rgb(120, 160, 70), dark = rgb(40, 80, 35), cream = rgb(250, 244, 222),
                       leaf = rgb(70, 125, 50), brown = rgb(120, 70, 30);
    const double t = L, x1 = L, x2 = L + B, x3 = 2 * L + B;
    d.figure(shRectangle, 0, 0, 2 * L + 2 * B + 8, t + H + B + 8, green);
    // Vorne: a cream label with the name and three leaves under it.
    Tobs& label = d.figure(shRoundRect, 7, t + 14, L - 14, 48, cream);
    label.FillModeOrShadowColor = fmFilledBorder;
    label.BorderOrOutlineColor = dark;
    label.LineWidthOrTransColor = 2;
    d.text(QStringLiteral("Grüner"), 9, t + 19, L - 18, 14, 22, dark);
    d.text(QStringLiteral("Tee"), 9, t + 36, L - 18, 18, 30, dark);
    for (int i = 0; i < 3; ++i) d.figure(shEllipse, 12 + i * 16, t + 72 + (i % 2) * 6, 14, 24, leaf);
    d.text(QStringLiteral("100 g"), 9, t + H - 14, L - 18, 9, 12, cream);
    // Hinten: how to make it.
    Tobs& back = d.figure(shRoundRect, x2 + 7, t + 14, L - 14, 60, cream);
    back.FillModeOrShadowColor = fmFilled;
    d.text(QStringLiteral("Zubereitung"), x2 + 9, t + 18, L - 18, 9, 13, brown);
    d.text(QStringLiteral("1 TL auf 200 ml"), x2 + 9, t + 34, L - 18, 8, 10, dark);
    d.text(QStringLiteral("Wasser, 80 °C"), x2 + 9, t + 44, L - 18, 8, 10, dark);
    d.text(QStringLiteral("3 Minuten ziehen"), x2 + 9, t + 54, L - 18, 8, 10, dark);
    // The sides: a leaf with a word under it.
    for (const auto& [left, word] : {std::pair{x1, "Bio"}, std::pair{x3, "Sencha"}}) {
        d.figure(shEllipse, left + B / 2 - 9, t + 24, 18, 34, leaf);
        d.text(QString::fromUtf8(word), left + 3, t + 66, B - 6, 10, 14, cream);
    }
    // The lid: the name again, upright from above on each half.
    lidText(d, QStringLiteral("Tee"), true, x1 + B / 2, t - L / 4, 22, 8, 18, cream);
    lidText(d, QStringLiteral("Tee"), false, x3 + B / 2, t - L / 4, 22, 8, 18, cream);
    return d.save(QDir(folder).filePath(QStringLiteral("Teeschachtel.box")));
}

// A face of the design's net by its name, in mm from the item's corner, with
// the quarter turns that read upright on it.
struct Face {
    QRectF mm;
    int turns = 0;
    QPointF centre() const { return mm.center(); }
};

Face faceOf(const Design& d, const char* name) {
    const FoldingModel m = FoldingModel::inMillimetres(d.doc.Layout, NetSource{d.doc.Form, 100});
    for (const FoldPanel& p : m.panels())
        if (p.name == QString::fromUtf8(name)) return Face{p.face, p.upright};
    return Face{};
}

// A text upright on a face, its ink centred on (cx, cy); length runs along
// its lines, height across.
Tobs& faceText(Design& d, const Face& f, const QString& content, double cx, double cy, double length, double height,
               int points, std::int32_t colour) {
    const bool across = f.turns % 2 == 1;
    const double w = across ? height : length, h = across ? length : height;
    Tobs& o = d.text(content, cx - w / 2, cy - h / 2, w, h, points, colour, f.turns);
    d.centreInk(o, cx, cy);
    return o;
}

// A deck of 63 x 88 mm cards in a 20 mm stack, in the reverse tuck-end box
// card games come in: the board inside 66 x 22 x 91 mm, the finger notch to
// pull the lid by its tuck; deep red with a gold frame on every face.
bool makePlayingCardBox(const QString& folder) {
    Design d(BoxForm::ofStyle(BoxStyle::SteckGegenlaeufig, 66, 22, 91, 0.3, true));
    const std::int32_t wine = rgb(120, 16, 32), gold = rgb(232, 190, 80), white = rgb(255, 255, 255),
                       red = rgb(200, 20, 40), black = rgb(20, 20, 20);
    const FoldingModel m = FoldingModel::inMillimetres(d.doc.Layout, NetSource{d.doc.Form, 100});
    d.figure(shRectangle, 0, 0, m.netWidth(), m.netHeight(), wine);
    const Face vorne = faceOf(d, "Vorne"), hinten = faceOf(d, "Hinten"), rechts = faceOf(d, "Rechts"),
               links = faceOf(d, "Links"), deckel = faceOf(d, "Deckel"), boden = faceOf(d, "Boden");
    // Vorne and Hinten: a card each below the notch, the heart in front, the spade behind.
    for (const auto& [f, suit, ink] : {std::tuple{vorne, "♥", red}, std::tuple{hinten, "♠", black}}) {
        const QRectF r = f.mm;
        Tobs& card = d.figure(shRoundRect, r.left() + 9, r.top() + 22, r.width() - 18, r.height() - 32, white);
        card.FillModeOrShadowColor = fmFilledBorder;
        card.BorderOrOutlineColor = gold;
        card.LineWidthOrTransColor = 3;
        faceText(d, f, QString::fromUtf8(suit), r.center().x(), r.top() + 22 + (r.height() - 32) / 2, 30, 30, 54, ink);
    }
    faceText(d, vorne, QStringLiteral("Spielkarten"), vorne.centre().x(), vorne.mm.top() + 16, 44, 7, 12, gold);
    faceText(d, hinten, QStringLiteral("55 Blatt"), hinten.centre().x(), hinten.mm.top() + 12, 40, 8, 12, gold);
    // The narrow sides: the four suits stacked, two red, two black.
    const char* suits[] = {"♦", "♣", "♥", "♠"};
    for (const Face& f : {rechts, links})
        for (int i = 0; i < 4; ++i)
            faceText(d, f, QString::fromUtf8(suits[i]), f.centre().x(), f.mm.top() + 14 + i * 21, 12, 12, 22,
                     i % 2 ? black : red);
    // Lid and bottom: a gold coin with a word upright on it.
    for (const auto& [f, word] : {std::pair{deckel, "Deck"}, std::pair{boden, "Skat"}}) {
        d.figure(shCircle, f.centre().x() - 9, f.centre().y() - 9, 18, 18, gold);
        faceText(d, f, QString::fromUtf8(word), f.centre().x(), f.centre().y(), 14, 5, 9, wine);
    }
    return d.save(QDir(folder).filePath(QStringLiteral("Spielkartenschachtel.box")));
}

// Twenty tea bags in a straight tuck-end box of 80 x 40 x 120 mm on A3:
// lid and bottom both hang from Hinten; leaves on a pale ground.
bool makeTeabagBox(const QString& folder) {
    Design d(BoxForm::ofStyle(BoxStyle::SteckGleichlaeufig, 80, 40, 120, 0.3, true), PaperFormat::A3);
    const std::int32_t ground = rgb(236, 226, 190), dark = rgb(60, 90, 40), leaf = rgb(90, 140, 60),
                       brown = rgb(120, 70, 30), cream = rgb(252, 248, 232);
    const FoldingModel m = FoldingModel::inMillimetres(d.doc.Layout, NetSource{d.doc.Form, 100});
    d.figure(shRectangle, 0, 0, m.netWidth(), m.netHeight(), ground);
    const Face vorne = faceOf(d, "Vorne"), hinten = faceOf(d, "Hinten"), rechts = faceOf(d, "Rechts"),
               links = faceOf(d, "Links"), deckel = faceOf(d, "Deckel"), boden = faceOf(d, "Boden");
    // Vorne: the name on a cream label, three leaves under it.
    const QRectF v = vorne.mm;
    Tobs& label = d.figure(shRoundRect, v.left() + 8, v.top() + 18, v.width() - 16, 46, cream);
    label.FillModeOrShadowColor = fmFilledBorder;
    label.BorderOrOutlineColor = dark;
    label.LineWidthOrTransColor = 2;
    faceText(d, vorne, QStringLiteral("Kräuter"), v.center().x(), v.top() + 32, 56, 12, 20, dark);
    faceText(d, vorne, QStringLiteral("20 Teebeutel"), v.center().x(), v.top() + 52, 56, 8, 12, brown);
    for (int i = 0; i < 3; ++i) d.figure(shEllipse, v.left() + 14 + i * 20, v.top() + 74 + (i % 2) * 6, 14, 26, leaf);
    // Hinten: how to make it.
    const QRectF h = hinten.mm;
    faceText(d, hinten, QStringLiteral("Zubereitung"), h.center().x(), h.top() + 24, 60, 9, 13, brown);
    faceText(d, hinten, QStringLiteral("1 Beutel auf 250 ml"), h.center().x(), h.top() + 40, 64, 7, 10, dark);
    faceText(d, hinten, QStringLiteral("kochendes Wasser,"), h.center().x(), h.top() + 50, 64, 7, 10, dark);
    faceText(d, hinten, QStringLiteral("5 bis 8 Minuten"), h.center().x(), h.top() + 60, 64, 7, 10, dark);
    // The sides: a leaf with a word under it.
    for (const auto& [f, word] : {std::pair{rechts, "Minze"}, std::pair{links, "Kamille"}}) {
        d.figure(shEllipse, f.centre().x() - 9, f.mm.top() + 26, 18, 36, leaf);
        faceText(d, f, QString::fromUtf8(word), f.centre().x(), f.mm.top() + 74, 34, 8, 13, dark);
    }
    // Lid and bottom: the name again, upright on each.
    for (const auto& [f, word] : {std::pair{deckel, "Tee"}, std::pair{boden, "Bio"}})
        faceText(d, f, QString::fromUtf8(word), f.centre().x(), f.centre().y(), 30, 10, 20, dark);
    return d.save(QDir(folder).filePath(QStringLiteral("Teebeutelschachtel.box")));
}

// A bar of soap in a box that opens flat and squares with its bottom shut:
// the tuck top over an automatic bottom, inside 95 x 35 x 65 mm on 0.3 mm
// board; lavender on a pale ground, the bottom flaps in the ground's colour.
bool makeSoapBox(const QString& folder) {
    Design d(BoxForm::ofStyle(BoxStyle::Automatikboden, 95, 35, 65, 0.3, true));
    const std::int32_t ground = rgb(238, 232, 246), lavender = rgb(130, 100, 180), deep = rgb(70, 50, 110),
                       green = rgb(110, 150, 90), white = rgb(255, 255, 255);
    const FoldingModel m = FoldingModel::inMillimetres(d.doc.Layout, NetSource{d.doc.Form, 100});
    d.figure(shRectangle, 0, 0, m.netWidth(), m.netHeight(), ground);
    const Face vorne = faceOf(d, "Vorne"), hinten = faceOf(d, "Hinten"), rechts = faceOf(d, "Rechts"),
               links = faceOf(d, "Links"), deckel = faceOf(d, "Deckel");
    // Vorne: a white oval with the name, lavender sprigs beside it.
    const QRectF v = vorne.mm;
    Tobs& oval = d.figure(shEllipse, v.left() + 14, v.top() + 14, v.width() - 28, 34, white);
    oval.FillModeOrShadowColor = fmFilledBorder;
    oval.BorderOrOutlineColor = lavender;
    oval.LineWidthOrTransColor = 2;
    faceText(d, vorne, QStringLiteral("Lavendel"), v.center().x(), v.top() + 26, 56, 10, 18, deep);
    faceText(d, vorne, QStringLiteral("Seife"), v.center().x(), v.top() + 39, 40, 7, 12, lavender);
    for (int i = 0; i < 5; ++i) {
        const double x = v.left() + 16 + i * 15;
        d.figure(shRectangle, x + 2.5, v.top() + 52, 1, 10, green);
        for (int k = 0; k < 3; ++k) d.figure(shEllipse, x + 1, v.top() + 50 - k * 3.2, 5, 4, lavender);
    }
    // Hinten: what is in it.
    const QRectF h = hinten.mm;
    faceText(d, hinten, QStringLiteral("Handgesiedet"), h.center().x(), h.top() + 16, 60, 8, 13, deep);
    faceText(d, hinten, QStringLiteral("Olivenöl, Kokosöl,"), h.center().x(), h.top() + 30, 70, 7, 10, deep);
    faceText(d, hinten, QStringLiteral("Lavendelöl"), h.center().x(), h.top() + 39, 70, 7, 10, deep);
    faceText(d, hinten, QStringLiteral("100 g"), h.center().x(), h.top() + 54, 30, 7, 11, lavender);
    // The narrow sides: a sprig each, the word under it.
    for (const auto& [f, word] : {std::pair{rechts, "mild"}, std::pair{links, "vegan"}}) {
        d.figure(shRectangle, f.centre().x() - 0.6, f.mm.top() + 16, 1.2, 22, green);
        for (int k = 0; k < 4; ++k) d.figure(shEllipse, f.centre().x() - 3, f.mm.top() + 10 + k * 4, 6, 5, lavender);
        faceText(d, f, QString::fromUtf8(word), f.centre().x(), f.mm.top() + 48, 28, 7, 11, deep);
    }
    // The lid: a lavender band with the name, upright from above.
    d.figure(shRectangle, deckel.mm.left(), deckel.centre().y() - 7, deckel.mm.width(), 14, lavender);
    faceText(d, deckel, QStringLiteral("Lavendel"), deckel.centre().x(), deckel.centre().y(), 50, 9, 14, white);
    return d.save(QDir(folder).filePath(QStringLiteral("Seifenschachtel.box")));
}

// The background picture: evening sky over hills, drawn here.
QImage landscape() {
    QImage image(1200, 850, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 850);
    sky.setColorAt(0, QColor(35, 60, 140));
    sky.setColorAt(0.55, QColor(250, 150, 90));
    sky.setColorAt(1, QColor(255, 220, 140));
    p.fillRect(image.rect(), sky);
    QRadialGradient sun(820, 420, 140);
    sun.setColorAt(0, QColor(255, 250, 210));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    p.setBrush(sun);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(820, 420), 140, 140);
    const QColor hills[] = {QColor(70, 120, 80), QColor(45, 95, 60), QColor(30, 70, 45)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath path(QPointF(0, 850));
        for (int x = 0; x <= 1200; x += 20)
            path.lineTo(x, 520 + layer * 90 + 45 * std::sin(x / (150.0 + 40 * layer) + layer * 1.7));
        path.lineTo(1200, 850);
        p.setBrush(hills[layer]);
        p.drawPath(path);
    }
    p.end();
    return image;
}

bool makePictureBox(const QString& folder) {
    const QString pictureName = QStringLiteral("Abendhimmel.jpg");
    if (!landscape().save(QDir(folder).filePath(pictureName), "JPG", 90)) return false;
    Design d;
    const double e = Edge;
    d.doc.BackgroundMode = bgFit;
    // A bare name: the picture is looked for beside the box file.
    d.doc.BackgroundFile = pictureName;
    Tobs& t = d.text(QStringLiteral("Schatzkiste"), 0.05 * e, e + 0.35 * e, 0.9 * e, 0.3 * e, 36, rgb(255, 255, 255));
    t.Shadow = 1;
    t.FillModeOrShadowColor = rgb(40, 40, 60);
    return d.save(QDir(folder).filePath(QStringLiteral("Box mit Bildhintergrund.box")));
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "Aufruf: make_samples ORDNER\n";
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    return makeDie(folder) && makeGiftBox(folder) && makePictureBox(folder) && makeCardBox(folder) &&
                   makeTeaBox(folder) && makePlayingCardBox(folder) && makeTeabagBox(folder) &&
                   makeSoapBox(folder)
               ? 0
               : 1;
}
