#include "box/BoxFit.h"

#include "box/BoxStyles.h"
#include "model/SheetLayout.h"

#include <QLocale>
#include <cmath>

namespace {

QString mm1(double v) {
    QLocale l(QLocale::German);
    l.setNumberOptions(QLocale::OmitGroupSeparator);
    return l.toString(v, 'f', 1);
}

// Rounded down to the 0,1 mm step; the small allowance keeps 64,0 from
// becoming 63,9 through the binary fraction of a product.
double floorToStep(double mm) { return std::floor(mm * 10.0 + 1e-7) / 10.0; }

BoxForm scaled(const BoxForm& f, double s) { return f.withMeasures(f.L * s, f.B * s, f.H * s); }

bool cuboidFits(const BoxForm& f, const SheetLayout& layout) { return netFits(NetSource{f, 100}, layout); }

}  // namespace

QSizeF netSizeMm(const NetSource& source, const SheetLayout& layout) {
    return planInMillimetres(source, layout).size;
}

QSizeF roomMm(const SheetLayout& layout) { return QSizeF(layout.ItemWidth - kFitSpareWidthMm, layout.ItemHeight); }

bool netFits(const NetSource& source, const SheetLayout& layout) {
    const QSizeF need = netSizeMm(source, layout), room = roomMm(layout);
    return need.width() <= room.width() && need.height() <= room.height();
}

std::optional<BoxForm> largestFittingForm(const BoxForm& form, const SheetLayout& layout) {
    if (!form.isCuboid() || !boxform::isValid(form)) return std::nullopt;
    // The net grows with every measure, so the factors that fit form one
    // interval from 0: halve it down to well below the 0,1 mm step.
    double lo = 0, hi = 1;
    if (cuboidFits(form, layout)) {
        lo = 1;
        hi = boxform::kMaxMm / std::min({form.L, form.B, form.H});
        if (cuboidFits(scaled(form, hi), layout)) lo = hi;
    }
    for (int i = 0; i < 80 && hi - lo > 1e-12; ++i) {
        const double mid = (lo + hi) / 2;
        (cuboidFits(scaled(form, mid), layout) ? lo : hi) = mid;
    }
    BoxForm best = form.withMeasures(floorToStep(form.L * lo), floorToStep(form.B * lo), floorToStep(form.H * lo));
    best.L = std::min(best.L, boxform::kMaxMm);
    best.B = std::min(best.B, boxform::kMaxMm);
    best.H = std::min(best.H, boxform::kMaxMm);
    if (!boxform::isValid(best) || !cuboidFits(best, layout)) return std::nullopt;
    return best;
}

QString netRoomText(const NetSource& source, const SheetLayout& layout) {
    const QSizeF need = netSizeMm(source, layout), room = roomMm(layout);
    return QStringLiteral("Das Netz braucht %1 × %2 mm; die Box bietet %3 × %4 mm")
        .arg(mm1(need.width()), mm1(need.height()), mm1(room.width()), mm1(room.height()));
}

QString netDoesNotFitText(const NetSource& source, const SheetLayout& layout) {
    QString text = QStringLiteral("Das Netz passt nicht auf das Papier. ") + netRoomText(source, layout) +
                   QStringLiteral(".\n");
    const std::optional<BoxForm> offer = largestFittingForm(source.form, layout);
    if (offer)
        text += QStringLiteral("Die größten Maße in denselben Proportionen sind ") + boxform::measuresText(*offer) +
                QStringLiteral(".");
    else
        text += NoProportionalFitText;
    return text;
}
