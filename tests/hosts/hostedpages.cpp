#include "hostedpages.h"

#include "altpanelspage.h"
#include "lamplight.h"

#include <QVBoxLayout>

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

QWidget *DarkPage(QWidget *content)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("HostPage"));
    page->setAttribute(Qt::WA_StyledBackground, true);
    page->setStyleSheet(QStringLiteral("#HostPage{background-color: rgb(24, 25, 29);}"));
    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content, 0, Qt::AlignLeft | Qt::AlignTop);
    return page;
}
