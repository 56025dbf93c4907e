#include "model/BoxFileExtension.h"

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

bool needsBoxExtension(const BoxForm& form, const KeptChunks& chunks) { return form.isCuboid() || !chunks.empty(); }

QByteArray boxExtensionBytes(const BoxForm& form, const KeptChunks& chunks) {
    QByteArray out;
    if (!needsBoxExtension(form, chunks)) return out;
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
    for (const KeptChunk& c : chunks) {
        out.append(c.tag);
        putU32(out, static_cast<std::uint32_t>(c.data.size()));
        out.append(c.data);
    }
    out.append("END ", 4);
    putU32(out, 0);
    return out;
}

BoxParseResult parseBoxExtension(const QByteArray& data, qsizetype start, BoxForm& formOut, KeptChunks& chunksOut) {
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
    return r;
}
