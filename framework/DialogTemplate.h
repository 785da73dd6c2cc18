#pragma once

#include <QFlags>
#include <QFont>
#include <QRect>
#include <QString>

#include <functional>
#include <utility>
#include <vector>

class QLabel;
class QWidget;

namespace framework {

// Converts dialog units to pixels through a font's metrics, so that a
// template laid out once fits its text in any font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(int nBaseX, int nBaseY);

    // The font every dialog uses: the platform's default UI font at 8 points,
    // the size the templates' rectangles were drawn for.
    static QFont dialogFont();

    int baseX() const { return m_nBaseX; }
    int baseY() const { return m_nBaseY; }

    int toPixelsX(int nDluX) const;
    int toPixelsY(int nDluY) const;
    QSize toPixels(QSize sizeDlu) const;
    QRect toPixels(const QRect& rcDlu) const;

private:
    int m_nBaseX;
    int m_nBaseY;
};

enum class ControlKind {
    Static,         // QLabel, plain text, wraps words
    Picture,        // bitmap resource nImageID at its own size, at the rectangle's corner
    GroupBox,       // QGroupBox drawn behind its sibling controls
    HorizontalRule, // etched line, at least two pixels high; a sunken panel with Sunken
    Edit,           // QLineEdit, or QPlainTextEdit with Multiline
    RichEdit,       // QPlainTextEdit
    PushButton,
    BitmapButton, // CBitmapButton: its owner loads the faces; the text names it
    CheckBox,     // toggles itself when clicked
    ListBox,      // QListWidget, single selection unless MultipleSelection
    ListView,     // QTreeWidget in report mode; columns are set by the dialog
    Custom,       // made by the factory registered for strClass
};

// Edits, list boxes and list views are always framed.
enum class ControlStyle : unsigned {
    None = 0,
    Default = 1u << 0,    // push button activated by Enter
    Multiline = 1u << 1,  // edit
    ReadOnly = 1u << 2,   // edit, rich edit
    WantReturn = 1u << 3, // multi-line: Enter starts a new line instead of pressing the default
    AutoScroll = 1u << 4, // multi-line: scroll sideways instead of wrapping lines
    VScroll = 1u << 5,
    HScroll = 1u << 6,           // multi-line: also keeps lines unwrapped
    Sort = 1u << 7,              // list box
    MultipleSelection = 1u << 8, // list box, list view
    Sunken = 1u << 9,            // static, horizontal rule
    Center = 1u << 10,           // static
    Right = 1u << 11,            // static
    Disabled = 1u << 12,
    Hidden = 1u << 13,           // never shown by its window, takes no focus
    WrapAnywhere = 1u << 14,     // static: breaks inside words too, for paths
    NoIntegralHeight = 1u << 15, // list box: keeps its height though it cuts a row
};
Q_DECLARE_FLAGS(ControlStyles, ControlStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlStyles)

struct ControlTemplate {
    ControlKind kind;
    int nID = -1; // -1 for statics nobody addresses
    QString strText = {};
    QRect rcDlu = {}; // x, y, width, height
    ControlStyles styles = ControlStyle::None;
    int nImageID = 0;      // Picture: the bitmap resource it shows
    QString strClass = {}; // Custom: the name its factory is registered under
};

struct DialogTemplate {
    QString strCaption;
    QSize sizeDlu;
    std::vector<ControlTemplate> arrControls;
};

using ControlFactory = std::function<QWidget*(const ControlTemplate& ctl, QWidget* pParent)>;

// Makes `factory` build the Custom controls whose strClass is `strClassName`,
// e.g. "CColorStatic"; a later registration of the name replaces it.
void RegisterControlClass(const QString& strClassName, ControlFactory factory);

// Gives a label the text and the static styles of `ctl` (plain text, word
// wrap, alignment, sunken frame), for factories of custom static controls.
void SetUpStatic(QLabel& label, const ControlTemplate& ctl);

// Creates the template's controls as children of `pParent`, placed through
// `units`, and returns them with their IDs in template (and tab) order.
std::vector<std::pair<int, QWidget*>> buildControls(const DialogTemplate& dlgTemplate,
                                                    const DialogUnits& units, QWidget* pParent);

} // namespace framework
