#pragma once
// The controls of the button page that act on the whole mouse: the profile
// box (its items and the switch between the mouse's profiles), the reset to
// factory settings, and the export and import of a settings file.

#include "flashdatamap.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class MyConmboBox;
class QWidget;

class ProfileAndFileActions : public QObject
{
public:
    // `page` places the popups and parents this object; the items read
    // `itemPrefix` followed by their number; an export writes `shownImage()`.
    ProfileAndFileActions(MyConmboBox *profiles, QWidget *page, const QString &itemPrefix,
                          std::function<std::optional<FlashDataMap>()> shownImage);

    // ToTalItem above 0 lists that many profiles with SelectIndex current, 0
    // one item, below 0 none; the box is enabled with ItemEnable.
    void ShowProfiles(int ToTalItem, int SelectIndex, bool ItemEnable);
    // The items again with the current prefix; count and current item stay.
    void RebuildProfileItems();
    // Switches the mouse to profile `index`; a switch the mouse refuses puts
    // the box back.
    void ChooseProfile(int index);
    // Asks, then returns the mouse to its factory settings and waits for it
    // to be read again. Offline only the notice.
    void ResetMouse();
    // Writes the shown settings to a file the user names.
    void Export();
    // Hands a file the user picks to the wait popup for import.
    void Import();

    // Writes the settings file of `DataMap` for the current model, whole or
    // not at all; false when it could not be written.
    static bool ExportSettings(const QString &path, const FlashDataMap &DataMap);

private:
    MyConmboBox *m_box;
    QWidget *m_page;
    const QString &m_itemPrefix;
    std::function<std::optional<FlashDataMap>()> m_shownImage;
};
