// The web-link file reader of the settings page: any bytes read as Read,
// NotProfile or Stopped, for a Chinese and a non-Chinese language, and a
// file that is not Profile applies nothing.
#include "fuzzsupport.h"
#include "weblinkfile.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray content = FuzzSupport::Bytes(data, size);
    for (int language : {0, 1, 5}) {
        int applied = 0;
        const auto count = [&applied](const QString &) { ++applied; };
        WebLinkFile file(language, count, count);
        const WebLinkFile::Outcome outcome = file.LoadContent(content);
        FuzzSupport::Check(outcome != WebLinkFile::Outcome::NoFile, "content read as no file");
        FuzzSupport::Check(outcome != WebLinkFile::Outcome::NotProfile || applied == 0,
                           "a file that is not Profile applied a value");
    }
    return 0;
}
