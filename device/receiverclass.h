#pragma once
// Receiver classes: the 1, 2, 4 and 8 kHz receivers of a model. A class picks
// the receiver's firmware model key in the model's Config.ini group and the
// product-id list under which its receivers are found; 0 is no class (a
// cable, or a link type or class text of no receiver).

#include <QString>
#include <QStringList>

// Option/Wireless_PID (1 kHz), Wireless2_PID, Wireless4_PID and Wireless8_PID
// of Config.ini as the device-selection page's USB-change callback last
// stored them (GUI thread).
extern QStringList g_WirelessPidList;
extern QStringList g_Wireless2PidList;
extern QStringList g_Wireless4PidList;
extern QStringList g_Wireless8PidList;

namespace ReceiverClass {

// Every class, in the order the searches try them.
constexpr int kClasses[] = {1, 2, 4, 8};

// The class of a link type: 1 for link type 0, 2 for 4, 4 for 1, 8 for 5;
// 0 for any other.
int OfLink(int linkType);
// The class a failed-update record names: the texts "1", "2", "4" and "8";
// 0 for any other text.
int OfText(const QString &classText);
// "DM", "D2M", "D4M" or "D8M"; empty for no class.
QString ModelKey(int receiverClass);
// The product-id list of the class (empty for no class).
const QStringList &PidList(int receiverClass);
// Whether the product id is in any of the four lists.
bool IsReceiverPid(const QString &pid);

}  // namespace ReceiverClass
