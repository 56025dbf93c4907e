#pragma once
// Pictures a vector pass draws as another picture in their place: the PDF
// export draws a small marker where a picture goes whose bytes it puts in
// itself afterwards (export/PdfPictureMarker.h).

#include "image/DibHandle.h"

#include <QHash>
#include <QPair>
#include <cstdint>

struct PictureStandIns {
    // By the cache key of the document's picture and the transparent value
    // it is drawn with (-1: none): one picture may be drawn both ways.
    QHash<QPair<qint64, qint64>, DibHandle> byPicture;

    void add(const DibHandle& picture, std::int64_t transparentValue, const DibHandle& standIn) {
        byPicture.insert({picture.image().cacheKey(), qint64(transparentValue)}, standIn);
    }
    const DibHandle* find(const DibHandle& picture, std::int64_t transparentValue) const {
        const auto it = byPicture.constFind({picture.image().cacheKey(), qint64(transparentValue)});
        return it == byPicture.constEnd() ? nullptr : &*it;
    }
};
