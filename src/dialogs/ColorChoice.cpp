#include "dialogs/ColorChoice.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

std::int32_t colorRefOf(const QColor& color) {
    const QColor rgb = color.toRgb();
    return static_cast<std::int32_t>(refFromRgb(rgb.red(), rgb.green(), rgb.blue()));
}

bool runColorDialog(QWidget* parent, std::int32_t& color) {
    // The non-native dialog always shows the custom colours and the full
    // spectrum: the expanded form of the colour dialog.
    QColorDialog dialog(colorFromRef(color), parent);
    dialog.setOption(QColorDialog::DontUseNativeDialog, true);
    if (dialog.exec() != QDialog::Accepted) return false;
    color = colorRefOf(dialog.selectedColor());
    return true;
}

QIcon colorSwatch(std::int32_t color) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.setBrush(colorFromRef(color));
    p.drawRect(1, 1, 13, 13);
    return QIcon(pm);
}
