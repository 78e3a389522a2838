// Macro exchange files: any content decodes or is refused; what decodes holds
// only texts without control characters, well-formed delays and small
// pictures, and comes back the same when written out and read again.
#include "fuzzsupport.h"
#include "macroexport.h"
#include "macrofile.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<MacroExport::Decoded> decoded = MacroExport::Decode(FuzzSupport::Bytes(data, size));
    if (!decoded)
        return 0;
    QVector<MacroExport::EncodeItem> items;
    for (const MacroExport::DecodedItem &item : decoded->items) {
        for (const QChar c : item.item.text)
            FuzzSupport::Check(c.category() != QChar::Other_Control, "control character in an item text");
        FuzzSupport::Check(!item.item.IsDelay() || MacroFile::IsDelayText(item.item.text), "malformed delay");
        for (const MacroExport::IconImage &picture : item.icon)
            FuzzSupport::Check(picture.image.width() <= 256 && picture.image.height() <= 256, "picture too large");
        items.append({item.item, QIcon()});
    }
    const int loopCode = MacroExport::LoopCodeOf(decoded->loopText);
    const std::optional<MacroExport::Decoded> again =
        MacroExport::Decode(MacroExport::Encode(QStringLiteral("m"), loopCode, items));
    FuzzSupport::Check(again.has_value(), "a written file does not read back");
    FuzzSupport::Check(again->Items() == decoded->Items(), "items changed on the way through a file");
    FuzzSupport::Check(MacroExport::LoopCodeOf(again->loopText) == loopCode, "loop code changed");
    return 0;
}
