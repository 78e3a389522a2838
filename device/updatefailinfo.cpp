#include "updatefailinfo.h"

#include "registrystore.h"

namespace {

QString Name()
{
    return QLatin1String(RegistryStore::kUpdateFailInfo);
}

}  // namespace

QString UpdateFailRecord::Format(int target, int receiverClass, int cid, int mid)
{
    return QStringLiteral("%1,%2,%3,%4").arg(target).arg(receiverClass).arg(cid).arg(mid);
}

namespace UpdateFailInfo {

QString StoredText()
{
    return RegistryStore().Value(RegistryStore::MouseDriveTestKey(), Name());
}

bool IsSet()
{
    return !StoredText().isEmpty();
}

UpdateFailRecord Read()
{
    return {StoredText().split(QLatin1Char(','), Qt::KeepEmptyParts)};
}

bool Write(int target, int receiverClass, int cid, int mid)
{
    return RegistryStore().SetValue(RegistryStore::MouseDriveTestKey(), Name(),
                                    UpdateFailRecord::Format(target, receiverClass, cid, mid));
}

bool Remove()
{
    return RegistryStore().Remove(RegistryStore::MouseDriveTestKey(), Name());
}

}  // namespace UpdateFailInfo
