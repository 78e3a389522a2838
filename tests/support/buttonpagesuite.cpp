#include "buttonpagesuite.h"

#include "flashdatamap.h"
#include "panelfixture.h"

namespace ButtonPageKit {

QByteArray Entry(int type, int param1, int param2)
{
    QByteArray entry(3, '\0');
    entry[0] = char(type);
    entry[1] = char(param1);
    entry[2] = char(param2);
    return entry;
}

QByteArray StoredEntry(int device)
{
    return PanelFixture::StoredImage().mid(kKeys + 3 * device, 3);
}

QByteArray StoredKeyRecord(int device)
{
    return PanelFixture::StoredImage().mid(kKeySequences + kKeySequenceSize * device, kKeySequenceSize);
}

QByteArray StoredMacro(int device)
{
    return PanelFixture::StoredImage().mid(kMacros + kMacroRecordSize * device, kMacroRecordSize);
}

}  // namespace ButtonPageKit
