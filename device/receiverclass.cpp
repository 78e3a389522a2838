#include "receiverclass.h"

QStringList g_WirelessPidList;
QStringList g_Wireless2PidList;
QStringList g_Wireless4PidList;
QStringList g_Wireless8PidList;

namespace ReceiverClass {

int OfLink(int linkType)
{
    switch (linkType) {
    case 0:
        return 1;
    case 4:
        return 2;
    case 1:
        return 4;
    case 5:
        return 8;
    default:
        return 0;
    }
}

int OfText(const QString &classText)
{
    for (const int receiverClass : kClasses) {
        if (classText == QString::number(receiverClass))
            return receiverClass;
    }
    return 0;
}

QString ModelKey(int receiverClass)
{
    switch (receiverClass) {
    case 1:
        return QStringLiteral("DM");
    case 2:
        return QStringLiteral("D2M");
    case 4:
        return QStringLiteral("D4M");
    case 8:
        return QStringLiteral("D8M");
    default:
        return QString();
    }
}

const QStringList &PidList(int receiverClass)
{
    static const QStringList none;
    switch (receiverClass) {
    case 1:
        return g_WirelessPidList;
    case 2:
        return g_Wireless2PidList;
    case 4:
        return g_Wireless4PidList;
    case 8:
        return g_Wireless8PidList;
    default:
        return none;
    }
}

bool IsReceiverPid(const QString &pid)
{
    for (const int receiverClass : kClasses) {
        if (PidList(receiverClass).contains(pid))
            return true;
    }
    return false;
}

}  // namespace ReceiverClass
