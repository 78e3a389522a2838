#pragma once
// The failed-update record ("UpdateFailInfo", updatefailinfo.h) while a
// firmware run flashes.
//
// Before every flash the record names what a repair must do should the
// program die during it (a crash, a kill, a power loss leave the device being
// flashed in boot mode): the target being flashed. A record that names the
// mouse keeps naming it until the mouse image is written, because a repair for
// the mouse flashes the receiver first and so also repairs a receiver left in
// boot mode. A failed flash leaves the record by the same rule. The record
// goes once the run's last flash succeeded, unless the mouse image is still
// owed.
//
// The rule on targets is pure; the store operations read the record afresh
// at each call, so the repair run, the update engine and the flash threads
// that report to them may all call these.

#include "updatefailinfo.h"

// The model a run flashes, as the record stores it.
struct FlashRun {
    int receiverClass = 0;
    int cid = 0;
    int mid = 0;
};

namespace FlashRecord {

// No record (or none of the run's model).
constexpr int kNoRecord = 0;

// The target the record names for a run of model `mid`: its target when it is
// complete and of that model, else kNoRecord.
int RecordedTarget(const UpdateFailRecord &record, int mid);

// The rule. `recorded` is what the record names (a target or kNoRecord); each
// answers what it names afterwards.
int TargetBeforeFlash(int recorded, int flashTarget);
int TargetAfterFailure(int recorded, int flashTarget);
int TargetAfterSuccess(int recorded, int flashTarget, bool lastFlash);

// The rule applied to the stored record. False when the store could not be
// written.
bool BeforeFlash(const FlashRun &run, int flashTarget);
bool AfterFailure(const FlashRun &run, int flashTarget);
bool AfterSuccess(const FlashRun &run, int flashTarget, bool lastFlash);

}  // namespace FlashRecord
