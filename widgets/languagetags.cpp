#include "languagetags.h"

namespace LanguageTags {

namespace {

QVector<ClassTexts> BuildClasses()
{
    return {
        // Main window and device selection
        {"DialogMain", "DialogMain", {"MainForm", "Exit"}},
        {"DialogChange", "DialogChange",
         {"label_2", "RepairDevice", "label_3", "label", "NewHong", "NoApear", "OfflineTips1",
          "OfflineTips2", "MouseIsNewTips"}},
        {"Match", "Match", {"label", "textEdit", "MatchButton", "Matching", "MatchFail", "MatchSuccess"}},
        {"UpDataParam", "UpDataParam", {"label", "label_1"}},

        // Notices and questions
        {"QuestiondialogB", "QuestionB", {"label"}},
        {"MouseOffLine", "MouseOffLine", {"label", "Timeout", "NewHong"}},
        {"LeftButtonOnly", "ButtonOnly", {"label"}},
        {"MakeMacro", "MakeMacro", {"label", "NewHong"}},
        {"SameMacro", "SameMacro", {"label", "NewHong"}},
        {"GroupMaxThree", "MaxThree", {"label", "NewHong"}},
        {"ContainReset", "ContainReset", {"label", "OK", "Cancel"}},
        {"KeyNumberLimit", "Limit", {"label", "NewHong"}},
        {"RePair", "RePair", {"label", "OK", "Cancel"}},
        {"DeleteConfirm", "DeleteConfirm", {"label", "NewHong"}},
        {"ExeIsRun", "EXEIsRun", {"label", "NewHong", "label_2", "PleaseStop"}},
        {"InportFail", "InportFail", {"label", "label_1", "NewHong", "WriteFail"}},
        {"UpDateWarning", "NewVer", {"NewHong"}},
        {"FindNewVer", "NewVer", {"label", "NewHong", "NoApear"}},
        {"LessThree", "LessThree", {"label", "NewHong"}},
        {"Progress", "Progress", {"Confirm", "UpdateNotMove", "UpDateFail", "UpDateSuccess"}},

        // Sensor page (its panels take their texts from it)
        {"Sensor", "Sensor",
         QStringList{"label_2", "label_3", "label_5", "label_11", "ModeSelectDes", "label_12", "LODDes",
                     "label_7", "MotionSyncDes", "Performance", "FullPerformanceDes", "PerformanceOpen"}
             + Numbered("PerformanceOpen", 1, 5)
             + QStringList{"Model", "Model1", "Model2", "label", "RippleDes", "label_6", "FixLineDes",
                           "label_4", "label_14", "label_15"}},

        // Button page: widget texts, the import and export buttons, the debounce
        // caption, the prefixes of macro captions and profile items, and the
        // debounce panel's unit texts (S20 for items 19 and 20)
        {"Buttoninterface", "Buttoninterface",
         QStringList{"Reset",         "FireKey",       "RightKey",      "BackKey",       "StartPause",
                     "TopMusic",      "BackMusic",     "LeftKey_3",     "RightKey_3",    "MidKey",
                     "BackKey_2",     "ForWardKey",    "DPI_2",         "DPI_3",         "DPI_6",
                     "DPI_8",         "DPI_5",         "DPI_13",        "DPI_11",        "DPI_10",
                     "DPI_9",         "DPI_7",         "DPI_12",        "DPI_4",         "Player",
                     "StartPause_2",  "BackMusic_2",   "TopMusic_2",    "Mute",          "VolumeUp",
                     "VolumeDown",    "VolumeDown_4",  "VolumeDown_5",  "VolumeDown_6",  "VolumeDown_3",
                     "VolumeDown_8",  "VolumeDown_9",  "VolumeDown_7",  "VolumeDown_10", "VolumeDown_12",
                     "VolumeDown_13", "VolumeDown_11", "VolumeUp_4",    "VolumeUp_5",    "VolumeUp_6",
                     "VolumeUp_7",    "VolumeUp_2",    "VolumeDown_2",  "VolumeUp_8",    "VolumeUp_14",
                     "VolumeDown_14", "ImportData",    "OutputData",    "checkBox",      "Macro_",
                     "Config"}
             + Numbered("S", 1, 20)},
        {"GroupKey", "groupKey", {"label", "NewHong", "NewHong_2"}},
        {"FireKey", "FireKey", {"label", "label_2", "label_3", "NewHong", "NewHong_2"}},

        // Macro page (items 4 to 8 of the event menu are the mouse-button names)
        {"Macro", "Macro",
         QStringList{"label", "label_2", "label_3", "NewHong", "DeleteHong", "Amend", "DeleteKey", "StartRecord",
                     "StopRecord", "Save", "DefaultDelay", "ReNumber", "AutoInsertDelay", "ReUntilLoose",
                     "ReUntilClick", "ReUntil"}
             + Numbered("ChooseEvent", 1, 8) + Numbered("Key", 1, 5)
                 + QStringList{"MacroReal", "SaveFail", "ImportFail"}},
        {"AddDelayTime", "AddDelayTime", {"label", "NewHong", "NewHong_2"}},
        {"addKey", "AddKey", {"label", "NewHong", "NewHong_2"}},
        {"QuestionDialog", "Question", {"label", "label_2", "NewHong", "NewHong_2", "NameRefused"}},

        // Settings page: headings and captions, the receiver-option descriptions,
        // the sleep-time items, and the firmware texts of the update controls
        {"FormSetting", "FormSetting",
         QStringList{"label", "label_2", "label_3", "label_4", "label_6", "label_8", "label_9", "label_10",
                     "label_11", "label_12", "label_13", "label_14", "pushButton", "pushButton_2", "textEdit",
                     "textEdit_2", "textEdit_3", "textEdit_4", "NewLabel", "StopCloseTime"}
             + Numbered("StopCloseTime", 1, 10)
             + QStringList{"Receive", "NoRecieve", "NoUSB", "Error", "MultiMouse", "MultiDongle", "NoDevice",
                           "SameDevice", "VerNew", "WiredMode", "NotWebAddress", "NoOpener", "AutoStartOnFail",
                           "AutoStartOffFail"}},

        // Lighting page: mode names, captions and the sleep-time items of its panel
        {"LampLight", "Light",
         QStringList{"label", "LightMod"} + Numbered("LightMod", 1, 5)
             + QStringList{"label_2", "label_3", "label_4", "label_5", "label_10", "label_11", "label_12",
                           "StopCloseTime"}
             + Numbered("StopCloseTime", 1, 10) + QStringList{"label_6", "label_8", "label_13"}},

        // Firmware dialog: its instruction, buttons and hints
        {"UpDateRepair", "AutoRepair",
         {"ToolText", "NewHong_2", "Cancel", "Confirm", "ReadyUpdate", "UpdateNotMove", "UpdateSuccess",
          "UpdateFail", "NoDevice", "SameDevice", "MultiDongle", "MultiMouse", "NoUSB", "NoRecieve",
          "FileError"}},
    };
}

}  // namespace

const QVector<ClassTexts> &Classes()
{
    static const QVector<ClassTexts> classes = BuildClasses();
    return classes;
}

QMap<QString, QStringList> Elements()
{
    QMap<QString, QStringList> elements;
    for (const ClassTexts &entry : Classes()) {
        QStringList &tags = elements[entry.element];
        for (const QString &tag : entry.tags) {
            if (!tags.contains(tag))
                tags.append(tag);
        }
    }
    return elements;
}

QStringList TagsOf(const QString &className)
{
    for (const ClassTexts &entry : Classes()) {
        if (entry.className == className)
            return entry.tags;
    }
    return QStringList();
}

bool Declares(const QString &element, const QString &tag)
{
    for (const ClassTexts &entry : Classes()) {
        if (entry.element == element && entry.tags.contains(tag))
            return true;
    }
    return false;
}

QStringList Numbered(const QString &prefix, int from, int to)
{
    QStringList names;
    for (int n = from; n <= to; ++n)
        names.append(prefix + QString::number(n));
    return names;
}

}  // namespace LanguageTags
