#include "image/OwnDecoders.h"
bool DecodeIlbm(const QByteArray&, QImage&) { return false; }
