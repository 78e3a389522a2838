// World command files: every line applied to the default world, as the
// library applies a command file from its inbox.
#include "fuzzsupport.h"
#include "hidusb_control.h"

#include <QStringList>

namespace {

constexpr int kMaxLines = 64;
constexpr int kRunsPerWorld = 500;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    FuzzSupport::SetUp(argc, argv);
    qputenv("VOGM_WORLD_CONTROL", "off");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int runs = 0;
    if (runs++ % kRunsPerWorld == 0)
        HidSim::SetWorld(HidSim::DefaultWorld());
    const QStringList lines = QString::fromUtf8(FuzzSupport::Bytes(data, size)).split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size() && i < kMaxLines; ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QString error;
        if (!HidSim::ApplyCommand(line, &error))
            FuzzSupport::Check(!error.isEmpty(), "command refused without a reason");
    }
    return 0;
}
