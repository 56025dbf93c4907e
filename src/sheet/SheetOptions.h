#pragma once
// What the user set on the print page for the printed sheet: bleed, how many
// boxes per sheet and the registration marks for a cutting machine. Held for
// the run only, like the preview's zoom.

struct SheetOptions {
    bool bleed = false;        // "Beschnittzugabe"
    double bleedMm = 1.0;      // 0..5
    bool fill = false;         // "So viele wie passen" instead of "1"
    bool regMarks = false;     // "Passermarken für Schneideplotter"
    double markInsetMm = 10;   // 10..20 from the paper's edges
    // "Netzlinien": the width of the printed dotted net in millimetres, 0
    // for "fein" (one printer pixel, which on paper can hardly be seen).
    double netLineMm = 0;

    static constexpr double MinBleedMm = 0;
    static constexpr double MaxBleedMm = 5;
    static constexpr double MinInsetMm = 10;
    static constexpr double MaxInsetMm = 20;
    // The bleed copies and marks need when the user left it off: enough to
    // keep a slightly misregistered cut on printed colour.
    static constexpr double ForcedBleedMm = 1.0;
    // The other choice of "Netzlinien", and the one the print page and the
    // command line start with.
    static constexpr double WideNetLineMm = 0.2;

    // With marks or several copies what is placed is the bleed outline, so a
    // bleed is in force even when the user had it off.
    bool bleedInForce() const { return bleed || fill || regMarks; }
    double bleedInForceMm() const { return bleed ? bleedMm : ForcedBleedMm; }
};
