#include "edit/FontChooserDialog.h"

#include "dialogs/ColorChoice.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

bool isBoldFace(const QFont& face) { return face.weight() > QFont::Medium; }   // as QFont::bold() decides

// The face of `family` the dialog preselects for a text's bold and italic
// bits. Left to itself the dialog looks for "Normal" or "Bold Italic" by
// name, and a family whose faces are called "Book" or "Oblique" gets its
// first face, often a slanted one. The face the text is drawn with comes
// first; otherwise the face with those bits nearest the usual weight and of
// the plainest name (no "Condensed"); a family without an italic face shows
// its upright one.
QString faceFor(const QString& family, bool bold, bool italic) {
    const QStringList styles = QFontDatabase::styles(family);
    QFont wanted(family);
    wanted.setBold(bold);
    wanted.setItalic(italic);
    const QFontInfo drawn(wanted);
    auto matches = [&](const QString& style, bool withItalic) {
        const QFont face = QFontDatabase::font(family, style, 12);
        return isBoldFace(face) == bold && (!withItalic || (face.style() != QFont::StyleNormal) == italic);
    };
    if (drawn.family() == family && styles.contains(drawn.styleName()) && matches(drawn.styleName(), true))
        return drawn.styleName();
    for (const bool withItalic : {true, false}) {
        QString best;
        long long bestScore = std::numeric_limits<long long>::max();
        for (const QString& style : styles) {
            if (!matches(style, withItalic)) continue;
            const QFont face = QFontDatabase::font(family, style, 12);
            const int target = bold ? QFont::Bold : QFont::Normal;
            const long long score = std::abs(face.weight() - target) * 1000LL + style.size() +
                                    (withItalic ? 0 : (face.style() != QFont::StyleNormal ? 500 : 0));
            if (score < bestScore) {
                bestScore = score;
                best = style;
            }
        }
        if (!best.isEmpty()) return best;
    }
    return QString();
}

int pointsOf(const QFont& f) {
    return f.pointSize() > 0 ? f.pointSize() : static_cast<int>(std::lround(f.pointSizeF()));
}

}  // namespace

FontChooserDialog::FontChooserDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FontDialog1"));
    setWindowTitle(QStringLiteral("Schriftart"));
    FontPart = new QFontDialog(this);
    FontPart->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog | QFontDialog::ScalableFonts);
    FontPart->setWindowFlags(Qt::Widget);

    ColorButton = new QPushButton(QStringLiteral("Farbe..."), this);
    ColorButton->setObjectName(QStringLiteral("ColorButton"));
    ColorButton->setAutoDefault(false);   // Enter confirms the dialog
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("A&bbrechen"));

    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(new QLabel(QStringLiteral("Farbe:"), this));
    ColorSample = new QLabel(this);
    ColorSample->setObjectName(QStringLiteral("ColorSample"));
    ColorSample->setFixedSize(32, 16);
    ColorSample->setFrameShape(QFrame::Box);
    colorRow->addWidget(ColorSample);
    colorRow->addWidget(ColorButton);
    colorRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FontPart);
    layout->addLayout(colorRow);
    layout->addWidget(buttons);

    connect(ColorButton, &QPushButton::clicked, this, [this] {
        std::int32_t c = m_color;
        if (runColorDialog(this, c)) {
            m_color = c;
            showColor();
        }
    });
    // The embedded font part is a dialog of its own: Escape (or Enter) in
    // its fields would end and hide only that part and leave this window
    // open without it. Its end ends this dialog, and the part stays shown.
    connect(FontPart, &QDialog::finished, this, [this](int result) {
        FontPart->setVisible(true);
        if (result == QDialog::Accepted)
            accept();
        else
            reject();
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void FontChooserDialog::showColor() {
    // A plain filled field: a style sheet on the button is overruled by the
    // widget style and showed no colour.
    QPixmap sample(ColorSample->size());
    sample.fill(colorFromRef(m_color));
    ColorSample->setPixmap(sample);
}

void FontChooserDialog::setDialogFont(const DialogFont& font, int dpi) {
    m_font = font;
    m_color = font.Color;
    QFont f(font.Name);
    // A face this system lacks ("Times New Roman" from a box file) is shown
    // as the font that stands in for it, not as whatever the list holds
    // first; confirming without picking another face keeps the stored name.
    m_shownFamily = QFontInfo(f).family();
    f.setFamily(m_shownFamily);
    // The size decides; a font without one (0) falls back to its pixel
    // height, and one without either to 12 points.
    int points = font.Size;
    if (points <= 0 && font.Height != 0)
        points = static_cast<int>(std::lround(std::abs(font.Height) * 72.0 / (dpi > 0 ? dpi : 96)));
    f.setPointSize(points > 0 ? points : 12);
    f.setBold(font.Style & 1);
    f.setItalic(font.Style & 2);
    f.setUnderline(font.Style & 4);
    f.setStrikeOut(font.Style & 8);
    const QString face = faceFor(m_shownFamily, font.Style & 1, font.Style & 2);
    if (!face.isEmpty()) f.setStyleName(face);
    FontPart->setCurrentFont(f);
    m_shown = FontPart->currentFont();
    showColor();
}

DialogFont FontChooserDialog::dialogFont(int dpi) const {
    const QFont f = FontPart->currentFont();
    DialogFont result = m_font;
    if (f.family() != m_shownFamily) {
        result.Name = f.family();
        result.Pitch = 0;
    }
    // What the user left as shown stays as the text had it: a face the
    // family lacks (italic where it has no slanted face) and a pixel height
    // that is not exactly the size in points at this resolution.
    const bool faceKept = f.family() == m_shown.family() && f.styleName() == m_shown.styleName() &&
                          f.bold() == m_shown.bold() && f.italic() == m_shown.italic();
    const bool bold = faceKept ? (m_font.Style & 1) != 0 : f.bold();
    const bool italic = faceKept ? (m_font.Style & 2) != 0 : f.italic();
    result.Style = static_cast<std::uint8_t>((m_font.Style & ~0x0F) | (bold ? 1 : 0) | (italic ? 2 : 0) |
                                             (f.underline() ? 4 : 0) | (f.strikeOut() ? 8 : 0));
    result.Color = m_color;
    const int points = pointsOf(f);
    if (points != pointsOf(m_shown)) result.setSize(points > 0 ? points : 12, dpi);
    return result;
}
