// What both locking bottoms share: their place on the tuck-end body and the
// finished plan's motion changed on both its copies.

#include "box/LockingBottom.h"

BottomEdge bottomEdgeOf(const TuckNet& net) {
    BottomEdge e;
    e.y = net.bottom();
    for (int i = 0; i < 5; ++i) e.x[i] = net.x(i);
    e.t = net.measures().t;
    e.vorne = TuckNet::kVorne, e.rechts = TuckNet::kRechts, e.hinten = TuckNet::kHinten, e.links = TuckNet::kLinks;
    e.klebelasche = TuckNet::kKlebelasche;
    return e;
}

int addBottom(TuckNet& net, const std::vector<BottomFlap>& flaps, const std::vector<FoldWindow>& windows) {
    std::vector<PanelId> ids;
    for (size_t k = 0; k < flaps.size(); ++k) {
        const BottomFlap& f = flaps[k];
        const FoldWindow w = k < windows.size() ? windows[k] : FoldWindow{};
        ids.push_back(net.add(f.name, f.role, f.parentFlap >= 0 ? ids[f.parentFlap] : f.parent, f.outline, f.hinge, w,
                              f.inset));
    }
    return ids.empty() ? 0 : int(ids.front());
}

void markBottom(BoxPlan& plan, int first, int count) {
    for (int k = 0; k < count; ++k) plan.panels[first + k].outside = true;
}

void editMotion(BoxPlan& plan, const std::function<void(BoxPlan&)>& edit) {
    edit(plan);
    // Another canvas flattens the arcs again from this copy and takes its
    // panels from it.
    if (plan.withArcs) {
        auto raw = std::make_shared<BoxPlan>(*plan.withArcs);
        edit(*raw);
        plan.withArcs = std::move(raw);
    }
}
