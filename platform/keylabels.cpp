#include "keylabels.h"

#include "keycapture.h"
#include "keynames.h"

#include <QGuiApplication>
#include <QStringList>
#include <memory>
#include <optional>
#include <X11/XKBlib.h>

namespace {

// Names that can take a layout's label: one printable ASCII character.
QStringList LabelledNames()
{
    QStringList names;
    for (const QString &name : KeyNames::AllKeyNames()) {
        if (name.size() == 1 && name.at(0).unicode() > 0x20 && name.at(0).unicode() < 0x7f)
            names.append(name);
    }
    return names;
}

// The key name a keysym types, when it is one of `names`.
QString NameOfKeysym(quint32 keysym, const QStringList &names)
{
    // Keysyms of printable ASCII are the characters themselves.
    if (keysym <= 0x20 || keysym >= 0x7f)
        return QString();
    const QString text = QString(QChar(char16_t(keysym))).toUpper();
    return names.contains(text) ? text : QString();
}

// Labels that clash with another key's label are dropped until none clash.
void DropClashingLabels(const QStringList &names, QHash<QString, QString> &labels)
{
    bool dropped = true;
    while (dropped) {
        dropped = false;
        QHash<QString, int> uses;
        for (const QString &name : names)
            ++uses[labels.value(name, name)];
        for (auto it = labels.begin(); it != labels.end();) {
            if (uses.value(it.value()) > 1) {
                it = labels.erase(it);
                dropped = true;
            } else {
                ++it;
            }
        }
    }
}

struct DisplayClose {
    void operator()(Display *display) const { XCloseDisplay(display); }
};

// A connection of our own to the X server with the keyboard extension (Qt
// keeps its connection to itself), told of every change of the keyboard map
// and of the current group.
Display *XkbDisplay()
{
    static std::unique_ptr<Display, DisplayClose> display;
    static bool tried = false;
    if (!tried) {
        tried = true;
        int major = XkbMajorVersion;
        int minor = XkbMinorVersion;
        int reason = 0;
        display.reset(XkbOpenDisplay(nullptr, nullptr, nullptr, &major, &minor, &reason));
        if (display) {
            XkbSelectEvents(display.get(), XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
                            XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
            XkbSelectEventDetails(display.get(), XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                                  XkbGroupStateMask);
        }
    }
    return display.get();
}

// Whether the keyboard map or group changed since the last call. The round
// trip brings in every notice the server sent before it.
bool KeyboardChanged(Display *display)
{
    XSync(display, False);
    bool changed = false;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        changed = true;  // only keyboard notices are selected
    }
    return changed;
}

struct KeyboardFree {
    void operator()(XkbDescPtr keyboard) const { XkbFreeKeyboard(keyboard, 0, True); }
};

std::optional<KeyLabels> ReadLabels(Display *display)
{
    const std::unique_ptr<XkbDescRec, KeyboardFree> keyboard(
        XkbGetMap(display, XkbKeySymsMask | XkbKeyTypesMask, XkbUseCoreKbd));
    XkbStateRec state{};
    if (!keyboard || XkbGetState(display, XkbUseCoreKbd, &state) != Success)
        return std::nullopt;
    XkbDescPtr map = keyboard.get();
    return KeyLabels::FromKeysyms([map, &state](quint32 keycode) -> quint32 {
        if (keycode < map->min_key_code || keycode > map->max_key_code)
            return 0;
        const int groups = XkbKeyNumGroups(map, keycode);
        if (groups == 0)
            return 0;
        const int group = state.group < groups ? state.group : 0;
        return quint32(XkbKeySymEntry(map, keycode, 0, group));
    });
}

}  // namespace

KeyLabels KeyLabels::FromKeysyms(const KeysymAt &keysymAt)
{
    const QStringList names = LabelledNames();
    QHash<QString, QString> labels;
    for (const QString &name : names) {
        const std::optional<int> virtualKey = KeyNames::VirtualKeyOfName(name);
        const quint32 keycode = virtualKey ? KeycodeOfVirtualKey(*virtualKey) : 0;
        const QString label = keycode ? NameOfKeysym(keysymAt(keycode), names) : QString();
        if (!label.isEmpty() && label != name)
            labels.insert(name, label);
    }
    DropClashingLabels(names, labels);
    KeyLabels result;
    for (auto it = labels.cbegin(); it != labels.cend(); ++it) {
        result.labelOfName.insert(it.key(), it.value());
        result.nameOfLabel.insert(it.value(), it.key());
    }
    return result;
}

KeyLabels KeyLabels::Current()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return KeyLabels();
    Display *display = XkbDisplay();
    if (!display)
        return KeyLabels();
    static std::optional<KeyLabels> read;
    if (KeyboardChanged(display) || !read)
        read = ReadLabels(display);
    return read.value_or(KeyLabels());
}

QString KeyLabels::Shown(const QString &name) const
{
    return labelOfName.value(name, name);
}

QString KeyLabels::Name(const QString &label) const
{
    return nameOfLabel.value(label, label);
}
