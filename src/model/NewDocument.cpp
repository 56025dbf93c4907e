#include "model/NewDocument.h"

#include <QFileInfo>

void initStartupDocument(BoxDocument& doc, int screenDpi) {
    doc.Layout = SheetLayout::startupLayout();
    doc.Zoom = 1.0;
    doc.ScreenDivisor = screenDivisorFor(screenDpi);
    doc.clearall();
    doc.updateExtentFromLayout();
}

void newDocument(BoxDocument& doc) { newDocument(doc, PaperFormat::A4); }

void newDocument(BoxDocument& doc, PaperFormat paper) {
    applyPaperLayout(doc.Layout, paper);
    doc.clearall();
    doc.updateExtentFromLayout();
}

QString captionFor(const QString& fileName) {
    if (fileName.isEmpty()) return appinfo::CaptionPrefix + appinfo::UnnamedFile;
    return appinfo::CaptionPrefix + QFileInfo(fileName).fileName();
}
