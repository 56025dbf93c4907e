#include "dialogs/ColorChoice.h"

#include <QColorDialog>

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
