#pragma once
// The failed-update record "UpdateFailInfo", kept in the registry store under
// the "Mouse Drive Test" key: four decimal numbers joined by "," without
// spaces, in this order: firmware target (210 mouse, 211 receiver), receiver
// class (1, 2, 4, 8 or 0), customer id, model id. "211,4,18,2" is a failed
// flash of a 4 kHz receiver of customer id 18, model id 2.
//
// A flash that fails writes it, a flash of that target that succeeds removes
// it; the device-selection page shows its Repair button while it is set.
// Every call reads or rewrites the store afresh under the store's lock, so the
// firmware library's flash thread may call these as well as the GUI thread.

#include <QString>
#include <QStringList>

class RegistryStore;

struct UpdateFailRecord {
    // The stored text split on ",", empty fields kept ("" gives one empty field).
    QStringList fields;

    // Only a record of exactly four fields is used.
    bool IsComplete() const { return fields.size() == 4; }
    // Field 1, 3 and 4 as decimal numbers (0 when not a number).
    int Target() const { return Number(0); }
    int Cid() const { return Number(2); }
    int Mid() const { return Number(3); }
    // Field 2 as it stands: compared as the texts "1", "2", "4" and "8".
    QString ReceiverClassText() const { return fields.value(1); }

    static QString Format(int target, int receiverClass, int cid, int mid);

private:
    int Number(int field) const { return fields.value(field).toInt(); }
};

namespace UpdateFailInfo {

// The stored text; empty when the record is missing.
QString StoredText();
// Whether a record is set (any non-empty text, complete or not).
bool IsSet();
UpdateFailRecord Read();
// Both return false when the store could not be written (the old file stays).
bool Write(int target, int receiverClass, int cid, int mid);
bool Remove();

}  // namespace UpdateFailInfo
