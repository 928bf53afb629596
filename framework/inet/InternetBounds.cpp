#include "framework/inet/InternetBounds.h"

#include <mutex>

namespace {

struct GuardedBounds {
    std::mutex mutex;
    InternetBounds bounds;
};

GuardedBounds& Current()
{
    static GuardedBounds current;
    return current;
}

} // namespace

void AfxSetInternetBounds(const InternetBounds& bounds)
{
    std::lock_guard lock(Current().mutex);
    Current().bounds = bounds;
}

InternetBounds AfxGetInternetBounds()
{
    std::lock_guard lock(Current().mutex);
    return Current().bounds;
}
