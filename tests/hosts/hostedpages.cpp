#include "hostedpages.h"

#include "altpanelspage.h"
#include "lamplight.h"

namespace {

// The lighting page loads the stored language itself when it is built.
QWidget *BuildLightingPage(const FlashDataMap &image)
{
    auto *page = new LampLight;
    page->SlotUpDataLightUILight(image);
    return page;
}

}  // namespace

QVector<HostedPage> HostedPages()
{
    return {
        {QStringLiteral("Lighting page"), &BuildLightingPage},
        {QStringLiteral("Alternative panels"), &BuildAlternativePanels},
    };
}
