#pragma once
// Calls addressed to a page that has not been built yet, kept in the order in
// which they came. When the page is built it goes through them, so it shows
// what it would show had it been there from the start.
//
// A call whose key equals an earlier one's replaces it and moves to the end:
// each held call sets the same controls from its arguments, so only its last
// occurrence matters. Widget-free; GUI thread only.

#include <QString>
#include <QVector>
#include <functional>

class HeldCalls
{
public:
    void Hold(const QString &key, std::function<void()> call);
    // Forgets every held call: a whole new picture of the device follows.
    void Clear();
    // Runs the held calls in order and forgets them.
    void Replay();
    int Count() const { return m_calls.size(); }
    QStringList Keys() const;

private:
    struct Call {
        QString key;
        std::function<void()> run;
    };
    QVector<Call> m_calls;
};
