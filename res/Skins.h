#pragma once
// The skin library: every bitmap and PNG resource id that a page hands to a control is drawn here
// by code, at the size the control needs, in the UI language when the skin carries words, and kept
// in a cache. Controls ask by id; they never draw a skin themselves.
//
//   QPixmap bmp = Skins::Bitmap(857);                   // natural size, current UI language
//   QPixmap bar = Skins::Bitmap(4946, QSize(100, 20));  // drawn at 100 x 20
//   QPixmap png = Skins::Png(654, {}, SkinLang::English);
//
// Bitmaps are opaque. Where a control builds a transparency mask from a key colour (the slider
// thumbs' 0xFF000000), the pixels outside the shape are exactly that key colour (opaque black).
// PNG skins carry an alpha channel.
//
// Ids nobody described are still drawn (a neutral console button of the requested size), so a
// control never shows an empty grey box; Skins::Find tells whether an id is described. Pages add
// the ids they own with Skins::Register before they first paint.
//
// UI thread only (QPixmap).

#include <QColor>
#include <QPixmap>
#include <QSize>
#include <QString>

#include <functional>

class QPainter;

enum class SkinType { Bitmap, Png };

// Which language's words a skin shows. Current follows g_bChinese at the time of the call.
enum class SkinLang { Current, Chinese, English };

// The shapes the painter knows. Each is drawn to fill the requested size.
enum class SkinStyle {
    Panel,        // a page or dialog background: dark brushed panel with a hairline frame
    Button,       // a push button face; the state says which look
    Toggle,       // an on/off switch button (LED plus label); the state says lit or not
    Led,          // a round indicator
    Tab,          // a tab header
    FaderTrack,   // a slider channel (vertical when taller than wide)
    FaderThumb,   // a slider thumb on key-colour black
    Arrow,        // a spin or drop arrow; text "up", "down", "left" or "right" picks the direction
    Bar,          // a flat title or status bar
    Label,        // a caption plate: words on the panel colour
    Icon,         // a glyph named by the text: "mute", "phase", "link", "tick", "close", "min", "logo"
    Speaker,      // a speaker-position picture on transparent ground; pressed and checked glow green
    Jack,         // an input connector picture with its label under it
    StepField,    // the face of a step button over a numeric edit: a dark field with a minus area at
                  // the left and a plus area at the right (each width / 5.5); the text names the hot
                  // area: "rest", "minus", "middle" or "plus"
};

enum class SkinState { Normal, Hover, Pressed, Checked, CheckedHover, CheckedPressed, Disabled, DisabledChecked };

struct SkinSpec {
    SkinStyle style = SkinStyle::Button;
    SkinState state = SkinState::Normal;
    QSize size;                 // natural size in pixels (the size a bitmap button takes)
    const char *textEn = "";    // words on the skin, UTF-8; empty for none
    const char *textCn = "";    // the Chinese form; empty takes the English one
    QRgb accent = 0;            // 0: the console accent (cyan); otherwise the skin's own colour (#RRGGBB)
};

namespace Skins {

// The console palette, shared with controls that paint plain areas next to skins.
namespace Palette {
constexpr QRgb Background = 0xFF1B1E23;   // page background
constexpr QRgb Panel = 0xFF262A31;        // raised panel
constexpr QRgb PanelLight = 0xFF343943;
constexpr QRgb Frame = 0xFF0D0F12;        // hairline outline
constexpr QRgb Text = 0xFFE4E8EE;
constexpr QRgb TextDim = 0xFF8C95A3;
constexpr QRgb Accent = 0xFF28B4E6;       // cyan: hover, selection, lit
constexpr QRgb Warn = 0xFFFF3B30;         // red: mute, alarms
constexpr QRgb Ok = 0xFF33C800;           // green: levels, on
constexpr QRgb Key = 0xFF000000;          // transparency key of masked bitmaps
}

// The pixmap of a bitmap or PNG resource id. An empty size means the skin's natural size.
QPixmap Get(SkinType type, int id, QSize size = {}, SkinLang lang = SkinLang::Current);
inline QPixmap Bitmap(int id, QSize size = {}, SkinLang lang = SkinLang::Current)
{
    return Get(SkinType::Bitmap, id, size, lang);
}
inline QPixmap Png(int id, QSize size = {}, SkinLang lang = SkinLang::Current)
{
    return Get(SkinType::Png, id, size, lang);
}

// Draws an id straight into a painter at `r`, without rendering or keeping a pixmap: the same
// pixels as Get() at r's size, for window-sized backgrounds that would otherwise hold a second
// copy of the window in the cache. A painter registered for the id gets `r` as it is.
void Draw(QPainter &p, const QRect &r, SkinType type, int id, SkinLang lang = SkinLang::Current);

// The natural size of an id (the size its layouts place it at); 0 x 0 for id 0, a default
// button size for an undescribed id.
QSize NaturalSize(SkinType type, int id);

// The description of an id, or nullptr when nothing described it.
const SkinSpec *Find(SkinType type, int id);

// Whether an id exists as a skin: described (built in or registered) or given a painter. Get()
// still draws a neutral face for any other id; a control that must show nothing for a missing
// image asks here first.
bool Has(SkinType type, int id);

// Describes an id (replacing an earlier description, and dropping its cached pixmaps).
void Register(SkinType type, int id, const SkinSpec &spec);

// A custom painter for an id whose look the styles above cannot give. The painter fills the
// whole rectangle; chinese says which language's words to draw.
using Painter = std::function<void(QPainter &, const QRect &, bool chinese)>;
void RegisterPainter(SkinType type, int id, QSize naturalSize, Painter painter);

// Draws a description without the cache (for controls that compose skins of their own).
QPixmap Render(const SkinSpec &spec, QSize size, bool chinese, SkinType type = SkinType::Bitmap);
void Paint(QPainter &p, const QRect &r, const SkinSpec &spec, bool chinese);

// The pages' grouping look: a recessed area (darker ground, hairline frame, lighter bottom edge)
// and a caption bar (a light-to-panel gradient with the accent at its left); the caller writes the
// caption on the bar.
void PaintRecessed(QPainter &p, const QRect &r);
void PaintCaptionBar(QPainter &p, const QRect &bar);

// Forgets every cached pixmap.
void ClearCache();

// The cache is bounded: least recently used pixmaps go first once it holds the budget.
qint64 CachedBytes();
qint64 CacheBudgetBytes();

// Chinese words on a skin are never drawn smaller than this; a skin too narrow for its label
// gives the words its padding, then shortens them.
constexpr int MinChinesePixels = 12;
bool HasChineseWords(const QString &text);

// Contrast ratio of two colours by the WCAG formula (1 to 21), and the least a text needs.
double Contrast(QColor a, QColor b);
constexpr double MinTextContrast = 4.5;
// A background for text of a fixed colour: the console panel when the text reads on it, otherwise
// a near-black or a light plate that it reads on.
QColor ReadableBackdrop(QColor text);

}  // namespace Skins
