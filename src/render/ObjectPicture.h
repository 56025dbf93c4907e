#pragma once
// An object drawn on its own, as the editor shows it at its scale: the
// picture other programs get when an object is copied.

#include <QImage>

struct BoxDocument;
struct Tobs;

// The object on a transparent ground, its rectangle at the editor's scale
// plus room for a figure's pen. At least 1 x 1 pixel.
QImage renderObjectPicture(const BoxDocument& doc, const Tobs& object, int percent = 100);
