#include "model/SharedPictures.h"

#include "image/ImageLoader.h"
#include "image/ImageRotation.h"
#include "model/StoredImage.h"

#include "image/RenderThreads.h"

#include <QDir>
#include <QSet>

#include <algorithm>
#include <vector>

SharedPictures::SharedPictures(const QString& boxFilePath, const QString& programFolder, int shortestSide,
                               qint64 budget)
    : m_boxFilePath(boxFilePath), m_programFolder(programFolder), m_shortestSide(shortestSide), m_budget(budget) {}

SharedPictures::Outcome SharedPictures::loadEvenPastBudget(const QString& storedPath, int quarterTurns,
                                                           DibHandle& picture) {
    const Outcome kept = load(storedPath, quarterTurns, picture);
    if (kept != Outcome::OverBudget) return kept;
    SharedPictures own(m_boxFilePath, m_programFolder, m_shortestSide);
    return own.load(storedPath, quarterTurns, picture) == Outcome::Loaded ? Outcome::Loaded : Outcome::Missing;
}

SharedPictures::Outcome SharedPictures::load(const QString& storedPath, int quarterTurns, DibHandle& picture,
                                             const ProgressCallback& progress) {
    if (storedPath.isEmpty()) return Outcome::Missing;
    // The same two places loadStoredImage looks in, in its order.
    const QString name = storedFileNamePart(storedPath);
    const QString places[2] = {ResolveImagePath(storedPath, m_programFolder),
                               name.isEmpty() ? QString() : QFileInfo(m_boxFilePath).absoluteDir().filePath(name)};
    for (const QString& place : places) {
        if (place.isEmpty()) continue;
        switch (fromFile(place, quarterTurns, picture, progress)) {
        case Found::Yes: return Outcome::Loaded;
        case Found::OverBudget: return Outcome::OverBudget;
        case Found::NotAPicture: break;
        }
    }
    return Outcome::Missing;
}

SharedPictures::Key SharedPictures::keyOf(const QFileInfo& info, int turns) {
    return Key{info.absoluteFilePath(), info.size(), info.lastModified(), turns};
}

QString SharedPictures::firstPlace(const QString& storedPath) const {
    if (storedPath.isEmpty()) return QString();
    const QString direct = ResolveImagePath(storedPath, m_programFolder);
    if (QFileInfo(direct).isFile()) return direct;
    const QString name = storedFileNamePart(storedPath);
    if (name.isEmpty()) return QString();
    return QFileInfo(m_boxFilePath).absoluteDir().filePath(name);
}

DibHandle SharedPictures::decode(const QString& file) const {
    if (m_shortestSide > 0) return OpenDibScaled(file, m_shortestSide);
    return OpenDib(file);
}

void SharedPictures::prefetch(const QStringList& storedPaths) {
    std::vector<std::pair<Key, QString>> files;
    QSet<QString> seen;
    for (const QString& stored : storedPaths) {
        const QString place = firstPlace(stored);
        if (place.isEmpty()) continue;
        const QFileInfo info(place);
        if (!info.isFile() || seen.contains(info.absoluteFilePath())) continue;
        seen.insert(info.absoluteFilePath());
        const Key key = keyOf(info, 0);
        if (!m_pictures.contains(key)) files.emplace_back(key, place);
    }
    const int batch = std::max(1, renderThreadCount());
    for (size_t first = 0; first < files.size() && !m_exhausted; first += size_t(batch)) {
        const int n = int(std::min(files.size() - first, size_t(batch)));
        std::vector<DibHandle> decoded(static_cast<size_t>(n));
        parallelFor(n, [&](int i) { decoded[size_t(i)] = decode(files[first + size_t(i)].second); });
        m_decodes += n;
        for (int i = 0; i < n && !m_exhausted; ++i) {
            const Key& key = files[first + size_t(i)].first;
            if (decoded[size_t(i)].isEmpty()) m_pictures.insert(key, DibHandle());
            else keep(key, decoded[size_t(i)]);
        }
    }
}

SharedPictures::Found SharedPictures::fromFile(const QString& file, int quarterTurns, DibHandle& picture,
                                               const ProgressCallback& progress) {
    const QFileInfo info(file);
    if (!info.isFile()) return Found::NotAPicture;
    // Rotation 1 to 3 quarter turns clockwise; anything else stays upright.
    const int turns = quarterTurns >= 1 && quarterTurns <= 3 ? quarterTurns : 0;
    const Key key = keyOf(info, turns);
    const auto known = m_pictures.constFind(key);
    if (known != m_pictures.constEnd()) {
        if (known->isEmpty()) return Found::NotAPicture;
        picture = *known;
        return Found::Yes;
    }
    if (turns != 0) {
        // Turned from the shared upright picture, so the file is read once.
        DibHandle upright;
        const Found f = fromFile(file, 0, upright, progress);
        if (f != Found::Yes) return f;
        DibHandle turned = upright;
        switch (turns) {
        case 1: RotRight(turned, progress); break;
        case 2: Rot180(turned, progress); break;
        default: RotLeft(turned, progress); break;
        }
        if (!keep(key, turned)) return Found::OverBudget;
        picture = turned;
        return Found::Yes;
    }
    if (m_exhausted) return Found::OverBudget;
    ++m_decodes;
    const DibHandle decoded = m_shortestSide > 0 ? OpenDibScaled(file, m_shortestSide) : OpenDib(file, progress);
    if (decoded.isEmpty()) {
        m_pictures.insert(key, DibHandle());
        return Found::NotAPicture;
    }
    if (!keep(key, decoded)) return Found::OverBudget;
    picture = decoded;
    return Found::Yes;
}

bool SharedPictures::keep(const Key& key, const DibHandle& picture) {
    const qint64 bytes = picture.image().sizeInBytes();
    if (m_exhausted || m_decodedBytes + bytes > m_budget) {
        m_exhausted = true;
        return false;
    }
    m_decodedBytes += bytes;
    m_pictures.insert(key, picture);
    return true;
}
