// The language-file reader: any bytes load as Read, NotLabelsFile or Stopped.
#include "fuzzsupport.h"
#include "languagereader.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QString mainForm;
    QString exitText;
    const LanguageReader reader(QStringLiteral("DialogMain"),
                                {{QStringLiteral("MainForm"), StoreTarget(&mainForm)},
                                 {QStringLiteral("Exit"), StoreTarget(&exitText)}});
    const LanguageReader::Outcome outcome = reader.LoadContent(FuzzSupport::Bytes(data, size));
    FuzzSupport::Check(outcome != LanguageReader::Outcome::NoFile, "content read as no file");
    return 0;
}
