#include "model/PaperFormat.h"

#include "model/SheetLayout.h"

QSizeF paperSizeMm(PaperFormat paper) {
    switch (paper) {
    case PaperFormat::A3: return QSizeF(420, 297);
    case PaperFormat::Letter: return QSizeF(279.4, 215.9);
    case PaperFormat::A4: break;
    }
    return QSizeF(297, 210);
}

QString paperName(PaperFormat paper) {
    switch (paper) {
    case PaperFormat::A3: return QStringLiteral("A3");
    case PaperFormat::Letter: return QStringLiteral("Letter");
    case PaperFormat::A4: break;
    }
    return QStringLiteral("A4");
}

bool paperFromName(const QString& name, PaperFormat& paper) {
    for (PaperFormat p : {PaperFormat::A4, PaperFormat::A3, PaperFormat::Letter})
        if (name.compare(paperName(p), Qt::CaseInsensitive) == 0) {
            paper = p;
            return true;
        }
    return false;
}

QSizeF itemSizeForPaper(PaperFormat paper) {
    const QSizeF s = paperSizeMm(paper);
    return QSizeF(s.width() - 7, s.height() - 5);
}

void applyPaperLayout(SheetLayout& layout, PaperFormat paper) {
    layout.applyNewDocumentLayout();
    const QSizeF item = itemSizeForPaper(paper);
    layout.ItemWidth = item.width();
    layout.ItemHeight = item.height();
}
