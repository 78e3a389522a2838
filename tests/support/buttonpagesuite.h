#pragma once
// What the button page's suites share: the page under test with its children
// by object name, and the button table the simulated mouse stores.

#include "buttoninterface.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QToolButton>

namespace ButtonPageKit {

// Where the image keeps the button table and the key and macro records.
constexpr int kKeys = 0x4A;
constexpr int kKeySequences = 0x7C;
constexpr int kMacros = 0x3BC;

// An entry's three bytes.
QByteArray Entry(int type, int param1, int param2);
// What the current mouse stores for device button `device` (PanelFixture::StoredImage).
QByteArray StoredEntry(int device);
QByteArray StoredKeyRecord(int device);
QByteArray StoredMacro(int device);

}  // namespace ButtonPageKit

// Base of a suite of the button page: `m_page` is the page under test.
class ButtonPageSuite : public QObject
{
protected:
    template <typename T = QWidget>
    T *Child(const QString &name) const
    {
        return m_page->findChild<T *>(name);
    }
    QToolButton *Button(const QString &name) const { return Child<QToolButton>(name); }

    Buttoninterface *m_page = nullptr;
};
