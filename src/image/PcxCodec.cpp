#include "image/OwnDecoders.h"
bool DecodePcx(const QByteArray&, QImage&) { return false; }
