#include "flashrecord.h"

#include "firmwareimages.h"

namespace FlashRecord {

namespace {

bool Store(const FlashRun &run, int target)
{
    if (target == kNoRecord)
        return UpdateFailInfo::Remove();
    return UpdateFailInfo::Write(target, run.receiverClass, run.cid, run.mid);
}

int Recorded(const FlashRun &run)
{
    return RecordedTarget(UpdateFailInfo::Read(), run.mid);
}

}  // namespace

int RecordedTarget(const UpdateFailRecord &record, int mid)
{
    return record.IsComplete() && record.Mid() == mid ? record.Target() : kNoRecord;
}

int TargetBeforeFlash(int recorded, int flashTarget)
{
    return recorded == kMouseFirmware ? int(kMouseFirmware) : flashTarget;
}

int TargetAfterFailure(int recorded, int flashTarget)
{
    return TargetBeforeFlash(recorded, flashTarget);
}

int TargetAfterSuccess(int recorded, int flashTarget, bool lastFlash)
{
    const bool mouseOwed = recorded == kMouseFirmware && flashTarget != kMouseFirmware;
    return lastFlash && !mouseOwed ? kNoRecord : recorded;
}

bool BeforeFlash(const FlashRun &run, int flashTarget)
{
    return Store(run, TargetBeforeFlash(Recorded(run), flashTarget));
}

bool AfterFailure(const FlashRun &run, int flashTarget)
{
    return Store(run, TargetAfterFailure(Recorded(run), flashTarget));
}

bool AfterSuccess(const FlashRun &run, int flashTarget, bool lastFlash)
{
    const int recorded = Recorded(run);
    const int after = TargetAfterSuccess(recorded, flashTarget, lastFlash);
    return after == recorded || Store(run, after);
}

}  // namespace FlashRecord
