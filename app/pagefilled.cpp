#include "pagefilled.h"

PageFillNotifier *PageFillNotifier::Instance()
{
    // Made on first use and kept for the whole run, like the signal hub.
    static PageFillNotifier *notifier = new PageFillNotifier;
    return notifier;
}

PageFilledFlag &PageFilledFlag::operator=(uint8_t value)
{
    m_value.store(value);
    if (value == 1) {
        ++m_confirmations;
        emit PageFillNotifier::Instance()->Confirmed();
    }
    return *this;
}
