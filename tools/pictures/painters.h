#pragma once
#include "paintkit.h"

#include <QColor>
#include <QRectF>
#include <functional>

class QPainter;

// The painters of the picture set. Each returns a function that draws one
// picture into the full rectangle it is given (the picture's own size).
namespace Painters {

using Paint = std::function<void(QPainter &, const QRectF &)>;
using PaintKit::State;

// Window and dialog controls (controls.cpp).
enum class WindowGlyph { Close, Minimise };
Paint WindowButton(WindowGlyph glyph, State state);
Paint ComboBack();
Paint ComboArrow(bool open);
Paint ComboList();
Paint CheckBox(bool checked);
Paint RadioBox(bool checked);
Paint Toggle(bool on);
Paint SliderHandle();
Paint MinusBar();
Paint PlusSign();
Paint FilledButton(State state);
Paint OutlineButton(State state);
Paint StatusButton(bool success);
Paint RateButton(bool checked);
Paint MenuRow(bool checked, bool opensList);
Paint SectionMarker();
Paint ValueCard(bool selected);
Paint MarkerGloss(bool selected);
Paint LevelHandle(bool hover);
Paint NumberBadge(State state);
Paint NumberLabel();
Paint ScrollArrow(bool up);
Paint RecordButton(bool stop, bool hover);
Paint UpdateButton(bool hover);

// Glyph icons (icons.cpp).
enum class NavIcon { Buttons, Sensor, Macro, Light, Settings };
enum class NavState { Normal, Hover, Active };
Paint Navigation(NavIcon icon, NavState state);
Paint BackArrow(NavState state);
Paint Battery();
Paint ChargeBolt();
Paint Logo();
Paint RepairWrench();
Paint PageArrow(bool right, bool hover);
enum class LinkIcon { Offline, Usb, Wireless };
Paint Link(LinkIcon icon);
Paint RateBadge(int kiloHertz);
enum class MacroIcon { Press, Release, Delay };
Paint MacroEvent(MacroIcon icon);
Paint SmallMouse();
Paint AlertMarker();
Paint Bullet();
Paint ProfileIcon();

// Backgrounds, tiles and larger scenes (scenes.cpp).
// The brand and the grain tile of the two page backgrounds, which the
// program paints itself (widgets/pagescene.h).
Paint BrandMark();
Paint GrainTile();
Paint NoticeBackground();
Paint PairingBackground();
Paint GroupBackground();
enum class TileLook { Online, Offline, Unknown };
Paint DeviceTile(TileLook look);
Paint MouseWithBadges();
Paint ColourBoard();
Paint PreviewPlaceholder();
Paint Swatch(const QColor &color);

}  // namespace Painters
