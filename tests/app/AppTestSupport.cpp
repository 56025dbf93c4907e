#include "AppTestSupport.h"

#include "edit/DocumentHistory.h"
#include "edit/ObjectCommands.h"
#include "render/Mapping.h"

int placeFigure(BoxDocument& doc, int x, int y, int w, int h, std::int32_t color) {
    const int slot = doc.Objects.takeFreeSlot();
    Tobs& o = doc.Objects[slot];
    o.Kind = Figure;
    o.Shape = shRectangle;
    o.Color = color;
    o.KeepAspect = 1;
    o.FontName = QStringLiteral("Times New Roman");
    o.FontHeight = -16;
    o.FontSize = 12;
    SetDevLeft(o, x, doc.Zoom, doc.ScreenDivisor);
    SetDevTop(o, y, doc.Zoom, doc.ScreenDivisor);
    SetDevWidth(o, w, doc.Zoom, doc.ScreenDivisor);
    SetDevHeight(o, h, doc.Zoom, doc.ScreenDivisor);
    return slot;
}

int placeFigure(StartedWindow& w, int x, int y, int width, int height, std::int32_t color) {
    DocumentHistory& history = w.window->objectCommands().history();
    auto step = history.begin(QStringLiteral("Figur einfügen"), {w.doc().Objects.findFreeSlot()});
    const int slot = placeFigure(w.doc(), x, y, width, height, color);
    EXPECT_TRUE(history.commit(std::move(step)));
    return slot;
}
