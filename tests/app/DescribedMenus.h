#pragma once
// The editor's two context menus as they were laid down for the program
// ("described" in MENUS.md): component name, caption, shortcut (the label of
// the Delete key) and status-bar hint, letter for letter, umlauts included. A
// null name is a separator.

#include <vector>

struct DescribedMenuItem {
    const char* name;
    const char* caption;
    const char* shortcut;
    const char* hint;
};

inline const std::vector<DescribedMenuItem>& describedObjectMenu() {
    static const std::vector<DescribedMenuItem> items = {
        {"Lschen1", "&Löschen...", "Del", "Löscht das Objekt"},
        {nullptr, "", "", ""},
        {"Nachvorne1", "Nach &vorne", "", "Bringt das Objekt nach vorne, so daß es immer sichtbar ist"},
        {"NachHinen1", "Nach &hinten", "", "Bringt das Objekt nach hinten, also hinter alle anderen Objekte"},
        {nullptr, "", "", ""},
        {"FarbeM", "&Farbe...", "", "Ändert die Farbe das Objekts"},
        {"SchriftartM", "&Schriftart...", "", "Ändert die Schriftart"},
        {"Texteffekte1", "&Texteffekte...", "", ""},
        {nullptr, "", "", ""},
        {"Linksbnig1", "Linksbündig", "", ""},
        {"Zentriert1", "Zentriert", "", ""},
        {"Rechtsbndig1", "Rechtsbündig", "", ""},
        {nullptr, "", "", ""},
        {"Transparenz1", "Transparen&z...", "", ""},
        {"SverhM", "Se&itenverhältnis beibehalten", "", "Hiermit wird das Bild nicht verzerrt, sollte immer an sein"},
        {nullptr, "", "", ""},
        {"Nachlinksrotieren1", "Nach links rotieren", "", ""},
        {"Nachrechtsrotieren1", "Nach rechts rotieren", "", ""},
        {nullptr, "", "", ""},
        {"KreisM", "&Kreis", "", "Das Objekt ist ein Kreis"},
        {"EllipseM", "&Ellipse", "", "Das Objekt ist eine Ellipse"},
        {"QuadratM", "&Quadrat", "", "Das Objekt ist ein Quadrat"},
        {"RechteckM", "&Rechteck", "", "Das Objekt ist ein Rechteck"},
        {"Rund1M", "&Quadrat &abgerundet", "", "Das Objekt ist ein abgerundetes Quadrat"},
        {"Rund2M", "Rechteck a&bgerundet", "", "Das Objekt ist ein abgerundetes Rechteck"},
        {"Liniehorizontal1", "Linie &horizontal", "", "Das Objekt ist eine horizontale Linie"},
        {"Linievertikal1", "Linie &vertikal", "", "Das Objekt ist eine vertikale Linie"},
        {"Lnieschrghoch1", "Linie schräg hoch", "", ""},
        {"Linieschrgrunter1", "Linie schräg runter", "", ""},
    };
    return items;
}

inline const std::vector<DescribedMenuItem>& describedCanvasMenu() {
    static const std::vector<DescribedMenuItem> items = {
        {"Hintergrundbild1", "&Hintergrundbild...", "", "Ändert die Einstellungen des Hintergrundbildes"},
    };
    return items;
}
