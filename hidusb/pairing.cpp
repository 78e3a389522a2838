// Pairing: a receiver in pairing mode takes the first mouse in pairing mode
// with the wanted customer id, or gives up after the pairing timeout.

#include "simcore.h"

namespace HidSim {

namespace {

MouseRt *Candidate(Core &c, uint8_t cid)
{
    for (MouseRt &m : c.mice) {
        if (m.desc.pairingMode && m.desc.powered && !m.desc.bootMode && m.desc.cid == cid)
            return &m;
    }
    return nullptr;
}

void Finish(Core &c, ReceiverRt &r, uint8_t status)
{
    r.pairStatus = status;
    QueueReceiverEvent(c, r, HIDUSB_CMD_PAIRING, QByteArray(1, char(status)) + char(r.pairCid));
    WorldChanged(c);
}

void TryPair(Core &c, const QString &receiver, quint64 session, quint64 epoch, bool final)
{
    ReceiverRt *r = c.worldEpoch == epoch ? ReceiverNamed(c, receiver) : nullptr;
    if (!r || r->pairSession != session || r->pairStatus != HIDUSB_PAIR_RUNNING)
        return;
    if (!r->desc.plugged || r->desc.bootMode) {
        r->pairStatus = HIDUSB_PAIR_FAILED;
        return;
    }
    if (MouseRt *m = Candidate(c, r->pairCid)) {
        m->desc.address = r->desc.address;  // the mouse learns the receiver's address
        m->desc.pairingMode = false;
        r->desc.mouse = m->desc.name;
        Finish(c, *r, HIDUSB_PAIR_SUCCEEDED);
    } else if (final) {
        Finish(c, *r, HIDUSB_PAIR_FAILED);
    }
}

void ScheduleTry(Core &c, const ReceiverRt &r, int delayMs, bool final)
{
    const QString name = r.desc.name;
    const quint64 session = r.pairSession;
    const quint64 epoch = c.worldEpoch;
    Schedule(c, delayMs, [&c, name, session, epoch, final] { TryPair(c, name, session, epoch, final); }, false);
}

}  // namespace

void StartPairing(Core &c, ReceiverRt &receiver, uint8_t cid)
{
    receiver.pairStatus = HIDUSB_PAIR_RUNNING;
    receiver.pairCid = cid;
    receiver.pairStarted = Clock::now();
    ++receiver.pairSession;
    ScheduleTry(c, receiver, c.timing.pairDelayMs, false);
    ScheduleTry(c, receiver, c.timing.pairTimeoutMs, true);
}

void OfferPairingMouse(Core &c)
{
    for (ReceiverRt &r : c.receivers) {
        if (r.pairStatus == HIDUSB_PAIR_RUNNING)
            ScheduleTry(c, r, c.timing.pairDelayMs, false);
    }
}

}  // namespace HidSim
