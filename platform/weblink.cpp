#include "weblink.h"

namespace WebLink {

QUrl Checked(const QString &text)
{
    QString address = text.trimmed();
    if (address.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
        address.prepend(QLatin1String("https://"));
    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) || url.host().isEmpty())
        return QUrl();
    return url;
}

}  // namespace WebLink
