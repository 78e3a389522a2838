#include "waits.h"

#include <QtGlobal>
#include <atomic>

namespace Waits {
namespace {
std::atomic<int> g_divisor{0};

int Divisor()
{
    int d = g_divisor.load();
    if (d <= 0) {
        bool ok = false;
        d = qEnvironmentVariableIntValue("VOGM_WAIT_DIVISOR", &ok);
        if (!ok || d <= 0)
            d = 1;
        g_divisor.store(d);
    }
    return d;
}
}  // namespace

int Scaled(int ms)
{
    if (ms <= 0)
        return ms;
    const int scaled = ms / Divisor();
    return scaled > 0 ? scaled : 1;
}

void SetDivisor(int divisor)
{
    g_divisor.store(divisor);
}

}  // namespace Waits
