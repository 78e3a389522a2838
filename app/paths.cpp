#include "paths.h"

#include <QCoreApplication>
#include <QDir>

namespace Paths {

const char *const kProductTitle = "Veltrane Orvandel Gaming Mouse";

QString AppFolder()
{
    const QByteArray overridden = qgetenv("VOGM_APP_DIR");
    if (!overridden.isEmpty())
        return QDir::cleanPath(QString::fromLocal8Bit(overridden));
    return QCoreApplication::applicationDirPath();
}

QString BaseFolder()
{
    QString data = QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME"));
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + "/.local/share";
    return QDir::cleanPath(data) + "/" + QString::fromLatin1(kProductTitle);
}

}  // namespace Paths
