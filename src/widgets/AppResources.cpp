#include "widgets/AppResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void registerAppResources() { Q_INIT_RESOURCE(app); }

void ensureAppResources() {
    static const bool done = [] {
        registerAppResources();
        return true;
    }();
    (void)done;
}
