#include "app/AppResources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function in the global namespace, so it cannot be used inside torvel.
static void registerResourceFile() { Q_INIT_RESOURCE(resources); }

namespace torvel {

void initResources()
{
    static const bool done = (registerResourceFile(), true);
    (void)done;
}

} // namespace torvel
