// The registry store over any file: reads never fail hard, and a value set
// in it reads back as set, with every other value of the file kept.
#include "fuzzsupport.h"
#include "registrystore.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzSupport::ScratchFile(FuzzSupport::Bytes(data, size));
    RegistryStore store(path);
    const QString key = RegistryStore::MouseDriveTestKey();
    const QStringList names = store.ValueNames(key);
    QStringList before;
    for (const QString &name : names)
        before << store.Value(key, name);
    store.IntValue(RegistryStore::ProductKey(), RegistryStore::kLanguageIndex);

    const QString value = QStringLiteral("v1.2\n;[x]=\\y");
    FuzzSupport::Check(store.SetValue(RegistryStore::ProductKey(), QStringLiteral("Fuzz=Name"), value), "write failed");
    FuzzSupport::Check(store.Value(RegistryStore::ProductKey(), QStringLiteral("fuzz=name")) == value,
                       "value did not read back");
    FuzzSupport::Check(store.ValueNames(key).size() == names.size(), "values of another key lost");
    return 0;
}
