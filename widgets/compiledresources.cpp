#include "compiledresources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void InitSensorResource()
{
    Q_INIT_RESOURCE(sensor);
}

void LoadCompiledResources()
{
    InitSensorResource();
}
