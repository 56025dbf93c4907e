#include "model/BoxFileExtension.h"

#include "model/ObjectTable.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

void putU32(QByteArray& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.append(static_cast<char>((v >> (8 * i)) & 0xff));
}

void putF64(QByteArray& out, double v) {
    std::uint64_t u;
    std::memcpy(&u, &v, 8);
    for (int i = 0; i < 8; ++i) out.append(static_cast<char>((u >> (8 * i)) & 0xff));
}

std::uint32_t getU32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

double getF64(const unsigned char* p) {
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | p[i];
    double v;
    std::memcpy(&v, &u, 8);
    return v;
}

bool isLower(unsigned char c) { return c >= 'a' && c <= 'z'; }
bool isUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

namespace {

bool hasGroupsOrLocks(const ObjectTable* objects) {
    if (!objects) return false;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = (*objects)[slot];
        if (!o.isFree() && (o.Group != 0 || o.Locked != 0)) return true;
    }
    return false;
}

void putGroupChunk(QByteArray& out, const ObjectTable& objects) {
    QByteArray body;
    std::uint32_t count = 0;
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const Tobs& o = objects[slot];
        if (o.isFree() || (o.Group == 0 && o.Locked == 0)) continue;
        putU32(body, static_cast<std::uint32_t>(slot));
        putU32(body, static_cast<std::uint32_t>(o.Group));
        putU32(body, o.Locked ? boxext::kLockedFlag : 0);
        for (std::int32_t v : {o.Kind, o.Left, o.Top, o.Width, o.Height}) putU32(body, static_cast<std::uint32_t>(v));
        ++count;
    }
    out.append(boxext::kGroupTag, 4);
    putU32(out, static_cast<std::uint32_t>(4 + body.size()));
    putU32(out, count);
    out.append(body);
}

void putSeriesChunk(QByteArray& out, const SeriesLink& series, const QString& boxPath) {
    const QByteArray path = storedSeriesPath(series.path, boxPath).toUtf8();
    out.append(boxext::kSeriesTag, 4);
    putU32(out, static_cast<std::uint32_t>(boxext::kSeriesHeaderSize + path.size()));
    putU32(out, static_cast<std::uint32_t>(series.separator));
    putU32(out, static_cast<std::uint32_t>(series.encoding));
    putU32(out, static_cast<std::uint32_t>(path.size()));
    out.append(path);
}

// The link a chunk of this version's layout holds; false for anything else.
bool readSeriesChunk(const unsigned char* p, std::uint32_t length, SeriesLink& series) {
    if (length < static_cast<std::uint32_t>(boxext::kSeriesHeaderSize)) return false;
    const std::uint32_t separator = getU32(p);
    const std::uint32_t encoding = getU32(p + 4);
    const std::uint32_t pathSize = getU32(p + 8);
    if (separator > static_cast<std::uint32_t>(SeriesSeparator::Tab) ||
        encoding > static_cast<std::uint32_t>(SeriesEncoding::Windows1252) ||
        pathSize != length - boxext::kSeriesHeaderSize || pathSize == 0)
        return false;
    const QByteArray bytes(reinterpret_cast<const char*>(p + boxext::kSeriesHeaderSize), static_cast<qsizetype>(pathSize));
    const QString path = QString::fromUtf8(bytes);
    if (path.toUtf8() != bytes || path.contains(QChar(0))) return false;
    series.path = path;
    series.separator = static_cast<SeriesSeparator>(separator);
    series.encoding = static_cast<SeriesEncoding>(encoding);
    return true;
}

}  // namespace

QString storedSeriesPath(const QString& dataPath, const QString& boxPath) {
    if (dataPath.isEmpty() || QDir::isRelativePath(dataPath)) return QDir::fromNativeSeparators(dataPath);
    const QString data = QDir::cleanPath(QDir::fromNativeSeparators(dataPath));
    if (boxPath.isEmpty()) return data;
    QString folder = QDir::cleanPath(QFileInfo(boxPath).absolutePath());
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return data.startsWith(folder) && data.size() > folder.size() ? data.mid(folder.size()) : data;
}

QString resolveSeriesPath(const QString& storedPath, const QString& boxPath) {
    if (storedPath.isEmpty() || !QDir::isRelativePath(storedPath) || boxPath.isEmpty()) return storedPath;
    return QDir::cleanPath(QFileInfo(boxPath).absoluteDir().filePath(storedPath));
}

bool needsBoxExtension(const BoxForm& form, const KeptChunks& chunks, const ObjectTable* objects,
                       const SeriesLink* series) {
    return form.isCuboid() || !chunks.empty() || hasGroupsOrLocks(objects) || (series && series->linked());
}

QByteArray boxExtensionBytes(const BoxForm& form, const KeptChunks& chunks, const ObjectTable* objects,
                             const SeriesLink* series, const QString& boxPath) {
    QByteArray out;
    if (!needsBoxExtension(form, chunks, objects, series)) return out;
    out.append(boxext::kMagic, boxext::kMagicSize);
    out.append(boxext::kVersion);
    if (form.isCuboid()) {
        const bool lockLid = form.isLockLid();
        out.append("FORM", 4);
        putU32(out, lockLid ? boxext::kFormChunkSize : boxext::kStyledFormChunkSize);
        putU32(out, static_cast<std::uint32_t>(lockLid ? boxext::kFormLockLidCuboid : boxext::kFormSleeve));
        putF64(out, boxform::roundToStep(form.L));
        putF64(out, boxform::roundToStep(form.B));
        putF64(out, boxform::roundToStep(form.H));
        if (!lockLid) putF64(out, boxform::roundThickness(form.thickness));
    }
    if (hasGroupsOrLocks(objects)) putGroupChunk(out, *objects);
    const bool linked = series && series->linked();
    if (linked) putSeriesChunk(out, *series, boxPath);
    for (const KeptChunk& c : chunks) {
        // Written afresh above from the objects themselves.
        if (objects && c.tag == boxext::kGroupTag) continue;
        // A link made here replaces one this version could not read.
        if (linked && c.tag == boxext::kSeriesTag) continue;
        out.append(c.tag);
        putU32(out, static_cast<std::uint32_t>(c.data.size()));
        out.append(c.data);
    }
    out.append("END ", 4);
    putU32(out, 0);
    return out;
}

BoxParseResult parseBoxExtension(const QByteArray& data, qsizetype start, BoxForm& formOut, KeptChunks& chunksOut,
                                 std::vector<GroupEntry>* groupsOut, SeriesLink* seriesOut) {
    BoxParseResult r;
    auto fail = [&](BoxParseError e, qsizetype at) {
        r.error = e;
        r.offset = at;
        return r;
    };
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    const qsizetype size = data.size();
    const qsizetype rest = size - start;
    if (rest <= 0) return r;
    // A file cut off inside the magic word is a damaged extension, not
    // foreign bytes to ignore.
    const qsizetype magicHere = std::min<qsizetype>(rest, boxext::kMagicSize);
    if (std::memcmp(bytes + start, boxext::kMagic, static_cast<size_t>(magicHere)) != 0) return r;
    if (rest <= boxext::kMagicSize) return fail(BoxParseError::ExtensionTruncated, size);

    qsizetype pos = start + boxext::kMagicSize;
    const unsigned char version = bytes[pos];
    if (version >= '2' && version <= '9') return fail(BoxParseError::NewerVersion, pos);
    if (version != boxext::kVersion) return fail(BoxParseError::BadExtension, pos);
    ++pos;

    BoxForm form = BoxForm::cube();
    KeptChunks chunks;
    bool haveForm = false;
    bool haveGroups = false;
    std::vector<GroupEntry> groups;
    bool haveSeries = false;
    SeriesLink series;
    for (;;) {
        const qsizetype chunkAt = pos;
        if (size - pos < 8) return fail(BoxParseError::ExtensionTruncated, size);
        const unsigned char* tag = bytes + pos;
        const std::uint32_t length = getU32(bytes + pos + 4);
        pos += 8;
        if (std::memcmp(tag, "END ", 4) == 0) {
            if (length != 0) return fail(BoxParseError::BadExtension, chunkAt + 4);
            if (pos != size) return fail(BoxParseError::BadExtension, pos);
            break;
        }
        if (std::memcmp(tag, "FORM", 4) == 0) {
            if (haveForm) return fail(BoxParseError::BadExtension, chunkAt);
            // A longer FORM of a newer version still fits the file; one
            // longer than the rest of it is a damaged length.
            if (static_cast<std::uint64_t>(size - pos) < length)
                return fail(BoxParseError::ExtensionTruncated, size);
            if (length > static_cast<std::uint32_t>(boxext::kStyledFormChunkSize))
                return fail(BoxParseError::NewerVersion, chunkAt + 4);
            if (length < static_cast<std::uint32_t>(boxext::kFormChunkSize))
                return fail(BoxParseError::BadExtension, chunkAt + 4);
            const std::int32_t kind = static_cast<std::int32_t>(getU32(bytes + pos));
            if (kind > boxext::kFormSleeve) return fail(BoxParseError::NewerVersion, pos);
            if (kind <= 0) return fail(BoxParseError::BadExtension, pos);
            // Each form has its own length; a longer chunk carries options
            // of a newer version.
            const std::uint32_t expected = static_cast<std::uint32_t>(
                kind == boxext::kFormSleeve ? boxext::kStyledFormChunkSize : boxext::kFormChunkSize);
            if (length > expected) return fail(BoxParseError::NewerVersion, chunkAt + 4);
            if (length < expected) return fail(BoxParseError::BadExtension, chunkAt + 4);
            double m[3];
            for (int i = 0; i < 3; ++i) {
                m[i] = boxform::roundToStep(getF64(bytes + pos + 4 + 8 * i));
                if (!boxform::measureInRange(m[i])) return fail(BoxParseError::BadExtension, pos + 4 + 8 * i);
            }
            form = BoxForm::cuboid(m[0], m[1], m[2]);
            if (kind == boxext::kFormSleeve) {
                const double t = getF64(bytes + pos + 28);
                if (!boxform::thicknessValid(t)) return fail(BoxParseError::BadExtension, pos + 28);
                form.style = BoxStyle::Huelse;
                form.thickness = boxform::roundThickness(t);
            }
            haveForm = true;
            pos += expected;
            continue;
        }
        if (groupsOut && std::memcmp(tag, boxext::kGroupTag, 4) == 0) {
            if (haveGroups) return fail(BoxParseError::BadExtension, chunkAt);
            if (static_cast<std::uint64_t>(size - pos) < length) return fail(BoxParseError::ExtensionTruncated, size);
            if (length < 4) return fail(BoxParseError::BadExtension, chunkAt + 4);
            const std::uint32_t count = getU32(bytes + pos);
            if ((length - 4) % boxext::kGroupEntrySize != 0 ||
                (length - 4) / boxext::kGroupEntrySize != count)
                return fail(BoxParseError::BadExtension, chunkAt + 4);
            for (std::uint32_t i = 0; i < count; ++i) {
                const qsizetype at = pos + 4 + static_cast<qsizetype>(i) * boxext::kGroupEntrySize;
                const unsigned char* e = bytes + at;
                GroupEntry g;
                const std::uint32_t slot = getU32(e);
                if (slot < 1 || slot > static_cast<std::uint32_t>(ObjectTable::Capacity))
                    return fail(BoxParseError::BadExtension, at);
                g.slot = static_cast<std::int32_t>(slot);
                g.group = static_cast<std::int32_t>(getU32(e + 4) & 0x7fffffffu);
                g.locked = (getU32(e + 8) & boxext::kLockedFlag) != 0;
                g.kind = static_cast<std::int32_t>(getU32(e + 12));
                g.left = static_cast<std::int32_t>(getU32(e + 16));
                g.top = static_cast<std::int32_t>(getU32(e + 20));
                g.width = static_cast<std::int32_t>(getU32(e + 24));
                g.height = static_cast<std::int32_t>(getU32(e + 28));
                g.offset = at;
                groups.push_back(g);
            }
            haveGroups = true;
            pos += length;
            continue;
        }
        if (seriesOut && std::memcmp(tag, boxext::kSeriesTag, 4) == 0 &&
            static_cast<std::uint64_t>(size - pos) >= length) {
            if (haveSeries) return fail(BoxParseError::BadExtension, chunkAt);
            haveSeries = true;
            if (readSeriesChunk(bytes + pos, length, series)) {
                pos += length;
                continue;
            }
            // Kept below as it is, like a chunk of a newer version.
        }
        if (isUpper(tag[0])) return fail(BoxParseError::NewerVersion, chunkAt);
        if (!isLower(tag[0])) return fail(BoxParseError::BadExtension, chunkAt);
        if (static_cast<std::uint64_t>(size - pos) < length) return fail(BoxParseError::ExtensionTruncated, size);
        if (!chunks.append(QByteArray(reinterpret_cast<const char*>(tag), 4),
                           reinterpret_cast<const char*>(bytes + pos), static_cast<qsizetype>(length)))
            return fail(BoxParseError::BadExtension, chunkAt);
        pos += length;
    }
    formOut = form;
    chunksOut = std::move(chunks);
    if (groupsOut) *groupsOut = std::move(groups);
    if (seriesOut) *seriesOut = series;
    return r;
}

void applyGroupEntries(ObjectTable& objects, const std::vector<GroupEntry>& entries) {
    for (const GroupEntry& g : entries) {
        Tobs& o = objects[g.slot];
        if (o.isFree() || o.Kind != g.kind || o.Left != g.left || o.Top != g.top || o.Width != g.width ||
            o.Height != g.height)
            continue;
        o.Group = g.group;
        o.Locked = g.locked ? 1 : 0;
    }
    // A group whose other members were dropped is no group any more.
    std::vector<std::pair<std::int32_t, int>> members;   // group, count
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        const std::int32_t group = objects[slot].Group;
        if (group == 0) continue;
        auto it = std::find_if(members.begin(), members.end(), [&](const auto& m) { return m.first == group; });
        if (it == members.end()) members.emplace_back(group, 1);
        else ++it->second;
    }
    for (int slot = 1; slot <= ObjectTable::Capacity; ++slot) {
        Tobs& o = objects[slot];
        if (o.Group == 0) continue;
        auto it = std::find_if(members.begin(), members.end(), [&](const auto& m) { return m.first == o.Group; });
        if (it->second < 2) o.Group = 0;
    }
}
