#include "framework/DialogTemplate.h"

#include "framework/BitmapButton.h"
#include "framework/Bitmaps.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <algorithm>
#include <cstdlib>

namespace framework {

namespace {

QHash<QString, ControlFactory>& controlClasses() {
    static QHash<QString, ControlFactory> factories;
    return factories;
}

// Rounds half away from zero, as the classic MulDiv does; the templates'
// pixel sizes depend on it.
int mulDiv(int nNumber, int nNumerator, int nDenominator) {
    const qint64 nProduct = qint64(nNumber) * nNumerator;
    const qint64 nMagnitude = (std::llabs(nProduct) + nDenominator / 2) / nDenominator;
    return int(nProduct < 0 ? -nMagnitude : nMagnitude);
}

// A multi-line edit without WantReturn hands a plain Enter to its dialog, so
// the default button still answers it; Ctrl+Enter starts a new line.
class ReturnToDialog : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() != QEvent::KeyPress) return false;
        auto* pKey = static_cast<QKeyEvent*>(pEvent);
        const bool bEnter = pKey->key() == Qt::Key_Return || pKey->key() == Qt::Key_Enter;
        if (!bEnter) return false;
        if (pKey->modifiers() & Qt::ControlModifier) {
            static_cast<QPlainTextEdit*>(pWatched)->insertPlainText(QStringLiteral("\n"));
            return true;
        }
        if (pKey->modifiers() & ~Qt::KeypadModifier) return false;
        QWidget* pWindow = static_cast<QWidget*>(pWatched)->window();
        QApplication::sendEvent(pWindow, pEvent);
        return true;
    }
};

QWidget* createMultilineEdit(const ControlTemplate& ctl, QWidget* pParent) {
    auto* pEdit = new QPlainTextEdit(pParent);
    pEdit->setReadOnly(ctl.styles & ControlStyle::ReadOnly);
    // In a dialog, Tab moves between controls as it does everywhere else.
    pEdit->setTabChangesFocus(true);
    const bool bUnwrapped = ctl.styles & (ControlStyle::HScroll | ControlStyle::AutoScroll);
    pEdit->setLineWrapMode(bUnwrapped ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
    pEdit->setVerticalScrollBarPolicy(ctl.styles & ControlStyle::VScroll ? Qt::ScrollBarAsNeeded
                                                                         : Qt::ScrollBarAlwaysOff);
    pEdit->setHorizontalScrollBarPolicy(
        ctl.styles & ControlStyle::HScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    if (!(ctl.styles & ControlStyle::WantReturn))
        pEdit->installEventFilter(new ReturnToDialog(pEdit));
    return pEdit;
}

// A list box shows whole rows only, as the classic one does unless told
// otherwise: it gives up the part of its height that would cut a row in half.
void fitWholeRows(QListWidget& list) {
    list.addItem(QStringLiteral("X"));
    const int nRow = list.sizeHintForRow(0);
    list.clear();
    if (nRow <= 0) return;
    const int nFrame = 2 * list.frameWidth();
    const int nRows = std::max(1, (list.height() - nFrame) / nRow);
    list.resize(list.width(), nFrame + nRows * nRow);
}

QWidget* createListBox(const ControlTemplate& ctl, QWidget* pParent) {
    auto* pList = new QListWidget(pParent);
    pList->setSelectionMode(ctl.styles & ControlStyle::MultipleSelection
                                ? QAbstractItemView::ExtendedSelection
                                : QAbstractItemView::SingleSelection);
    pList->setSortingEnabled(ctl.styles & ControlStyle::Sort);
    pList->setVerticalScrollBarPolicy(ctl.styles & ControlStyle::VScroll ? Qt::ScrollBarAsNeeded
                                                                         : Qt::ScrollBarAlwaysOff);
    pList->setHorizontalScrollBarPolicy(
        ctl.styles & ControlStyle::HScroll ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    return pList;
}

QWidget* createListView(const ControlTemplate& ctl, QWidget* pParent) {
    auto* pView = new QTreeWidget(pParent);
    pView->setRootIsDecorated(false);
    pView->setUniformRowHeights(true);
    pView->setAllColumnsShowFocus(true);
    pView->setSelectionMode(ctl.styles & ControlStyle::MultipleSelection
                                ? QAbstractItemView::ExtendedSelection
                                : QAbstractItemView::SingleSelection);
    return pView;
}

QWidget* createPicture(const ControlTemplate& ctl, QWidget* pParent) {
    auto* pLabel = new QLabel(pParent);
    pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QPixmap picture = LoadBitmap(ctl.nImageID);
    pLabel->setPixmap(picture);
    // The control takes its picture's size, whatever the template says.
    if (!picture.isNull()) pLabel->setFixedSize(picture.deviceIndependentSize().toSize());
    return pLabel;
}

QWidget* createRule(const ControlTemplate& ctl, QWidget* pParent) {
    auto* pLine = new QFrame(pParent);
    // Qt's sunken horizontal line is the etched one: dark above light.
    pLine->setFrameStyle(ctl.styles & ControlStyle::Sunken ? QFrame::Panel | QFrame::Sunken
                                                           : QFrame::HLine | QFrame::Sunken);
    // Templates give rules no height; both lines need two pixels.
    pLine->setMinimumHeight(2);
    return pLine;
}

// A path has no blanks to break at: this label breaks it anywhere, so that
// all of it shows on the lines its rectangle has.
class WrapAnywhereLabel : public QLabel {
public:
    using QLabel::QLabel;

    int heightForWidth(int nWidth) const override { return textRect(nWidth).height(); }
    QSize sizeHint() const override { return textRect(width()).size(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        painter.drawText(contentsRect(), int(alignment()) | Qt::TextWrapAnywhere, text());
    }

private:
    QRect textRect(int nWidth) const {
        return fontMetrics().boundingRect(QRect(0, 0, std::max(nWidth, 1), 1 << 20),
                                          Qt::TextWrapAnywhere, text());
    }
};

QWidget* createButton(const ControlTemplate& ctl, QWidget* pParent) {
    QPushButton* pButton = ctl.kind == ControlKind::BitmapButton
                               ? new CBitmapButton(ctl.strText, pParent)
                               : new QPushButton(ctl.strText, pParent);
    // Only the template's default button answers Enter: Qt would otherwise
    // make the first button the default, whatever that button does.
    pButton->setAutoDefault(false);
    pButton->setDefault(ctl.styles & ControlStyle::Default);
    return pButton;
}

QWidget* createCustom(const ControlTemplate& ctl, QWidget* pParent) {
    const ControlFactory factory = controlClasses().value(ctl.strClass);
    if (QWidget* pControl = factory ? factory(ctl, pParent) : nullptr) return pControl;
    qWarning("buildControls: no control class \"%s\"", qPrintable(ctl.strClass));
    // Keeps the place, and the ID, of the missing control.
    return new QWidget(pParent);
}

QWidget* createControl(const ControlTemplate& ctl, QWidget* pParent) {
    switch (ctl.kind) {
    case ControlKind::Static: {
        auto* pLabel = ctl.styles & ControlStyle::WrapAnywhere ? new WrapAnywhereLabel(pParent)
                                                               : new QLabel(pParent);
        SetUpStatic(*pLabel, ctl);
        return pLabel;
    }
    case ControlKind::Picture:
        return createPicture(ctl, pParent);
    case ControlKind::GroupBox: {
        auto* pBox = new QGroupBox(ctl.strText, pParent);
        // A sibling, not a parent, of the controls it frames: kept beneath
        // them so that it never covers them or takes their clicks.
        pBox->lower();
        return pBox;
    }
    case ControlKind::HorizontalRule:
        return createRule(ctl, pParent);
    case ControlKind::Edit: {
        if (ctl.styles & ControlStyle::Multiline) return createMultilineEdit(ctl, pParent);
        auto* pEdit = new QLineEdit(ctl.strText, pParent);
        pEdit->setReadOnly(ctl.styles & ControlStyle::ReadOnly);
        return pEdit;
    }
    case ControlKind::RichEdit:
        return createMultilineEdit(ctl, pParent);
    case ControlKind::PushButton:
    case ControlKind::BitmapButton:
        return createButton(ctl, pParent);
    case ControlKind::CheckBox:
        return new QCheckBox(ctl.strText, pParent);
    case ControlKind::ListBox:
        return createListBox(ctl, pParent);
    case ControlKind::ListView:
        return createListView(ctl, pParent);
    case ControlKind::Custom:
        return createCustom(ctl, pParent);
    }
    Q_UNREACHABLE();
}

} // namespace

void RegisterControlClass(const QString& strClassName, ControlFactory factory) {
    controlClasses().emplace(strClassName, std::move(factory));
}

void SetUpStatic(QLabel& label, const ControlTemplate& ctl) {
    // Descriptions shown here come from outside; "<b>" must stay text.
    label.setTextFormat(Qt::PlainText);
    label.setText(ctl.strText);
    label.setWordWrap(true);
    Qt::Alignment alignment = Qt::AlignLeft;
    if (ctl.styles & ControlStyle::Center) alignment = Qt::AlignHCenter;
    if (ctl.styles & ControlStyle::Right) alignment = Qt::AlignRight;
    label.setAlignment(alignment | Qt::AlignTop);
    if (ctl.styles & ControlStyle::Sunken) label.setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int nLetters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The average of the 52 letters, rounded as the classic dialog manager does.
    m_nBaseX = (nLetters / 26 + 1) / 2;
    m_nBaseY = metrics.height();
}

DialogUnits::DialogUnits(int nBaseX, int nBaseY) : m_nBaseX(nBaseX), m_nBaseY(nBaseY) {}

QFont DialogUnits::dialogFont() {
    QFont font = QApplication::font();
    font.setPointSize(8);
    return font;
}

int DialogUnits::toPixelsX(int nDluX) const {
    return mulDiv(nDluX, m_nBaseX, 4);
}

int DialogUnits::toPixelsY(int nDluY) const {
    return mulDiv(nDluY, m_nBaseY, 8);
}

QSize DialogUnits::toPixels(QSize sizeDlu) const {
    return {toPixelsX(sizeDlu.width()), toPixelsY(sizeDlu.height())};
}

QRect DialogUnits::toPixels(const QRect& rcDlu) const {
    // Edges, not sizes, are converted, so controls that touch in dialog units
    // touch in pixels too.
    const int nLeft = toPixelsX(rcDlu.x());
    const int nTop = toPixelsY(rcDlu.y());
    const int nRight = toPixelsX(rcDlu.x() + rcDlu.width());
    const int nBottom = toPixelsY(rcDlu.y() + rcDlu.height());
    return {nLeft, nTop, nRight - nLeft, nBottom - nTop};
}

std::vector<std::pair<int, QWidget*>> buildControls(const DialogTemplate& dlgTemplate,
                                                    const DialogUnits& units, QWidget* pParent) {
    std::vector<std::pair<int, QWidget*>> arrControls;
    arrControls.reserve(dlgTemplate.arrControls.size());
    // A label's mnemonic focuses the next control that takes the focus.
    QLabel* pPendingBuddy = nullptr;
    for (const ControlTemplate& ctl : dlgTemplate.arrControls) {
        QWidget* pControl = createControl(ctl, pParent);
        pControl->setGeometry(units.toPixels(ctl.rcDlu));
        if (ctl.kind == ControlKind::ListBox && !(ctl.styles & ControlStyle::NoIntegralHeight))
            fitWholeRows(static_cast<QListWidget&>(*pControl));
        pControl->setEnabled(!(ctl.styles & ControlStyle::Disabled));
        if (ctl.styles & ControlStyle::Hidden) {
            // Hidden explicitly, it stays hidden when its window shows; without
            // focus, neither Tab nor a click nor a mnemonic reaches it.
            pControl->hide();
            pControl->setFocusPolicy(Qt::NoFocus);
        }

        if (pPendingBuddy && (pControl->focusPolicy() & Qt::TabFocus)) {
            pPendingBuddy->setBuddy(pControl);
            pPendingBuddy = nullptr;
        }
        if (ctl.kind == ControlKind::Static && ctl.strText.contains(u'&'))
            pPendingBuddy = static_cast<QLabel*>(pControl);
        arrControls.emplace_back(ctl.nID, pControl);
    }
    return arrControls;
}

} // namespace framework
