#include "image/OwnDecoders.h"
bool DecodeTga(const QByteArray&, QImage&) { return false; }
