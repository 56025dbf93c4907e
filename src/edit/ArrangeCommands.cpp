#include "edit/ArrangeCommands.h"

#include "base/Units.h"
#include "box/FaceGeometry.h"
#include "box/NetSource.h"
#include "edit/EditorEnvironment.h"
#include "edit/ObjectCommands.h"
#include "model/BoxDocument.h"
#include "model/Prompter.h"
#include "render/Mapping.h"

#include <algorithm>
#include <limits>
#include <map>

namespace {

struct Box {
    long long l = std::numeric_limits<long long>::max(), t = l;
    long long r = std::numeric_limits<long long>::min(), b = r;
    void add(const Tobs& o) {
        l = std::min<long long>(l, o.Left);
        t = std::min<long long>(t, o.Top);
        r = std::max<long long>(r, static_cast<long long>(o.Left) + o.Width);
        b = std::max<long long>(b, static_cast<long long>(o.Top) + o.Height);
    }
    long long w() const { return r - l; }
    long long h() const { return b - t; }
};

Box boxOf(const BoxDocument& doc, const std::vector<int>& members) {
    Box box;
    for (int s : members) box.add(doc.Objects[s]);
    return box;
}

std::int32_t toInt32(long long v) {
    return static_cast<std::int32_t>(
        std::clamp<long long>(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

ArrangeCommands::ArrangeCommands(EditorEnvironment& env, ObjectCommands& commands)
    : m_env(env), m_commands(commands) {}

std::vector<std::vector<int>> ArrangeCommands::pieces() const {
    const BoxDocument& doc = m_env.document();
    std::vector<std::vector<int>> result;
    std::map<std::int32_t, size_t> groupPiece;
    for (int s : doc.selectedSlots()) {
        const std::int32_t g = doc.Objects[s].Group;
        if (g == 0) {
            result.push_back({s});
            continue;
        }
        auto it = groupPiece.find(g);
        if (it == groupPiece.end()) {
            groupPiece[g] = result.size();
            result.push_back({s});
        } else {
            result[it->second].push_back(s);
        }
    }
    return result;
}

bool ArrangeCommands::canAlign() const { return !m_env.document().selectedSlots().empty(); }
bool ArrangeCommands::canDistribute() const { return pieces().size() >= 3; }
bool ArrangeCommands::canGroup() const { return pieces().size() >= 2; }

bool ArrangeCommands::canUngroup() const {
    const BoxDocument& doc = m_env.document();
    for (int s : doc.selectedSlots())
        if (doc.Objects[s].Group != 0) return true;
    return false;
}

bool ArrangeCommands::canLock() const { return !m_env.document().selectedSlots().empty(); }

bool ArrangeCommands::canUnlockAll() const {
    const BoxDocument& doc = m_env.document();
    for (int s = 1; s <= ObjectTable::Capacity; ++s)
        if (!doc.Objects[s].isFree() && doc.Objects[s].Locked) return true;
    return false;
}

void ArrangeCommands::movePieces(const QString& name, const std::vector<std::vector<int>>& parts,
                                 const std::vector<long long>& dx, const std::vector<long long>& dy) {
    BoxDocument& doc = m_env.document();
    std::vector<int> touched;
    for (const auto& p : parts) touched.insert(touched.end(), p.begin(), p.end());
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(name, touched);
    for (size_t i = 0; i < parts.size(); ++i)
        for (int s : parts[i]) {
            Tobs& o = doc.Objects[s];
            o.Left = toInt32(o.Left + dx[i]);
            o.Top = toInt32(o.Top + dy[i]);
        }
    history.commit(std::move(step));
    m_env.repaint();
}

void ArrangeCommands::align(AlignEdge edge) {
    const std::vector<std::vector<int>> parts = pieces();
    if (parts.empty()) return;
    const BoxDocument& doc = m_env.document();
    Box target;
    if (parts.size() == 1) {
        // One piece: its face is what it lines up with.
        const Box own = boxOf(doc, parts[0]);
        const std::optional<FaceRect> f =
            faceAt(doc, NetSource::of(doc, m_env.boxPercent()), (own.l + own.r) / 2.0, (own.t + own.b) / 2.0);
        if (!f) return;
        target.l = unitsOf(f->left);
        target.t = unitsOf(f->top);
        target.r = unitsOf(f->right);
        target.b = unitsOf(f->bottom);
    } else {
        for (const auto& p : parts)
            for (int s : p) target.add(doc.Objects[s]);
    }
    std::vector<long long> dx(parts.size(), 0), dy(parts.size(), 0);
    for (size_t i = 0; i < parts.size(); ++i) {
        const Box b = boxOf(doc, parts[i]);
        switch (edge) {
        case AlignEdge::Left: dx[i] = target.l - b.l; break;
        case AlignEdge::Right: dx[i] = target.r - b.r; break;
        case AlignEdge::HCentre: dx[i] = target.l + (target.w() - b.w()) / 2 - b.l; break;
        case AlignEdge::Top: dy[i] = target.t - b.t; break;
        case AlignEdge::Bottom: dy[i] = target.b - b.b; break;
        case AlignEdge::VCentre: dy[i] = target.t + (target.h() - b.h()) / 2 - b.t; break;
        }
    }
    static const char* const names[] = {"Links ausrichten",  "Horizontal zentrieren", "Rechts ausrichten",
                                        "Oben ausrichten",   "Vertikal zentrieren",   "Unten ausrichten"};
    movePieces(QString::fromUtf8(names[static_cast<int>(edge)]), parts, dx, dy);
}

void ArrangeCommands::distribute(bool horizontally) {
    std::vector<std::vector<int>> parts = pieces();
    const size_t k = parts.size();
    if (k < 3) return;
    const BoxDocument& doc = m_env.document();
    std::vector<Box> boxes;
    for (const auto& p : parts) boxes.push_back(boxOf(doc, p));
    std::vector<size_t> order(k);
    for (size_t i = 0; i < k; ++i) order[i] = i;
    // In the order they stand, by their centres; the outer two stay.
    auto centre = [&](size_t i) { return horizontally ? boxes[i].l + boxes[i].r : boxes[i].t + boxes[i].b; };
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return centre(a) < centre(b); });
    const Box& first = boxes[order.front()];
    const Box& last = boxes[order.back()];
    const long long start = horizontally ? first.l : first.t;
    const long long end = horizontally ? last.r : last.b;
    long long sizes = 0;
    for (const Box& b : boxes) sizes += horizontally ? b.w() : b.h();
    const long long free = end - start - sizes;   // may be negative: pieces overlap evenly
    std::vector<long long> dx(k, 0), dy(k, 0);
    long long before = 0;   // sizes of the pieces placed so far
    for (size_t n = 0; n < k; ++n) {
        const size_t i = order[n];
        // Gaps shared out exactly: the last piece ends where it ended.
        const long long at = start + before + free * static_cast<long long>(n) / static_cast<long long>(k - 1);
        if (horizontally) {
            dx[i] = at - boxes[i].l;
            before += boxes[i].w();
        } else {
            dy[i] = at - boxes[i].t;
            before += boxes[i].h();
        }
    }
    movePieces(horizontally ? QStringLiteral("Horizontal verteilen") : QStringLiteral("Vertikal verteilen"), parts, dx,
               dy);
}

void ArrangeCommands::group() {
    if (!canGroup()) return;
    BoxDocument& doc = m_env.document();
    std::int32_t next = 1;
    for (int s = 1; s <= ObjectTable::Capacity; ++s)
        if (!doc.Objects[s].isFree()) next = std::max(next, doc.Objects[s].Group + 1);
    const std::vector<int> chosen = doc.selectedSlots();
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(QStringLiteral("Gruppieren"), chosen);
    // Members of groups within the selection join the new group: one level.
    for (int s : chosen) doc.Objects[s].Group = next;
    history.commit(std::move(step));
    m_env.repaint();
}

void ArrangeCommands::ungroup() {
    BoxDocument& doc = m_env.document();
    const std::vector<int> chosen = doc.selectedSlots();
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(QStringLiteral("Gruppierung aufheben"), chosen);
    for (int s : chosen) doc.Objects[s].Group = 0;
    history.commit(std::move(step));
    m_env.repaint();
}

void ArrangeCommands::lock() {
    BoxDocument& doc = m_env.document();
    const std::vector<int> chosen = doc.selectedSlots();
    if (chosen.empty()) return;
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(QStringLiteral("Sperren"), chosen);
    for (int s : chosen) doc.Objects[s].Locked = 1;
    // A locked object cannot stay selected.
    doc.selectOnly(0);
    history.commit(std::move(step));
    m_env.repaint();
}

void ArrangeCommands::unlockAll() {
    BoxDocument& doc = m_env.document();
    std::vector<int> locked;
    for (int s = 1; s <= ObjectTable::Capacity; ++s)
        if (!doc.Objects[s].isFree() && doc.Objects[s].Locked) locked.push_back(s);
    if (locked.empty()) return;
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(QStringLiteral("Alle entsperren"), locked);
    for (int s : locked) doc.Objects[s].Locked = 0;
    history.commit(std::move(step));
    m_env.repaint();
}

void ArrangeCommands::duplicate() {
    BoxDocument& doc = m_env.document();
    const std::vector<int> chosen = doc.selectedSlots();
    if (chosen.empty()) return;
    std::vector<int> free;
    for (int s = 1; s <= ObjectTable::Capacity && free.size() < chosen.size(); ++s)
        if (doc.Objects[s].isFree()) free.push_back(s);
    if (free.size() < chosen.size()) {
        m_env.prompter().inform(QStringLiteral("Fehler: Kein freies Objekt mehr"),
                                QStringLiteral("Es wurden zuviele Objekte erstellt!"), PromptIcon::Information);
        return;
    }
    const Mapping map = Mapping::screenFor(doc);
    std::int32_t nextGroup = 1;
    for (int s = 1; s <= ObjectTable::Capacity; ++s)
        if (!doc.Objects[s].isFree()) nextGroup = std::max(nextGroup, doc.Objects[s].Group + 1);
    std::map<std::int32_t, std::int32_t> newGroup;
    DocumentHistory& history = m_commands.history();
    auto step = history.begin(QStringLiteral("Duplizieren"), free);
    const int current = doc.CurrentObject;
    int newCurrent = 0;
    std::vector<int> copies;
    for (size_t i = 0; i < chosen.size(); ++i) {
        Tobs copy = doc.Objects[chosen[i]];   // an image shares its picture
        // Ten screen pixels right and down, as a repeated paste lands.
        const long long l = map.DevLeft(copy) + 10LL, t = map.DevTop(copy) + 10LL;
        SetDevLeft(copy, toInt32(std::clamp<long long>(l, -kCoordLimit, kCoordLimit)), doc.Zoom, doc.ScreenDivisor);
        SetDevTop(copy, toInt32(std::clamp<long long>(t, -kCoordLimit, kCoordLimit)), doc.Zoom, doc.ScreenDivisor);
        if (copy.Group != 0) {
            auto it = newGroup.find(copy.Group);
            if (it == newGroup.end()) it = newGroup.emplace(copy.Group, nextGroup++).first;
            copy.Group = it->second;
        }
        copy.Locked = 0;
        doc.Objects[free[i]] = copy;
        copies.push_back(free[i]);
        if (chosen[i] == current) newCurrent = free[i];
    }
    doc.selectOnly(newCurrent ? newCurrent : copies.back());
    for (int s : copies)
        if (s != doc.CurrentObject) doc.Selection.push_back(s);
    history.commit(std::move(step));
    m_env.repaint();
}
