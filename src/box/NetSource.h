#pragma once
// What a box net is built from: the document's form with its measures, and
// for a cube the box percentage. Everything that draws, folds, fits or cuts
// the net takes one of these instead of a bare percentage.

#include "model/BoxForm.h"

struct BoxDocument;

struct NetSource {
    BoxForm form;
    int percent = 100;   // 10..100; only a cube follows it

    bool isCuboid() const { return form.isCuboid(); }
    static NetSource cube(int percent) { return NetSource{BoxForm::cube(), percent}; }
    static NetSource of(const BoxDocument& doc, int percent);
    // A cuboid ignores the percentage, so two cuboids of the same measures
    // are the same net whatever percentage each carries.
    bool operator==(const NetSource& o) const {
        return form == o.form && (form.isCuboid() || percent == o.percent);
    }
    bool operator!=(const NetSource& o) const { return !(*this == o); }
};
