#include "heldcalls.h"

#include <QStringList>
#include <algorithm>
#include <utility>

void HeldCalls::Hold(const QString &key, std::function<void()> call)
{
    m_calls.erase(std::remove_if(m_calls.begin(), m_calls.end(), [&key](const Call &held) { return held.key == key; }),
                  m_calls.end());
    m_calls.append({key, std::move(call)});
}

void HeldCalls::Clear()
{
    m_calls.clear();
}

void HeldCalls::Replay()
{
    // A replayed call may hold further calls (it emits); those are new.
    const QVector<Call> calls = std::exchange(m_calls, {});
    for (const Call &call : calls)
        call.run();
}

QStringList HeldCalls::Keys() const
{
    QStringList keys;
    for (const Call &call : m_calls)
        keys.append(call.key);
    return keys;
}
