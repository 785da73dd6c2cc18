#pragma once

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QLabel>

namespace framework {

// What a static control draws its text with.
struct CtlColorDC {
    QColor crText;
    QFont font;
};

// The framework's static text control, with the control-colour hook: before
// each paint it asks CtlColor for the text colour, the font and the
// background brush, then fills its whole rectangle with the brush and draws
// its text, as plain text, in that colour and font.
class CStatic : public QLabel {
    Q_OBJECT
public:
    explicit CStatic(QWidget* pParent = nullptr);

protected:
    // `dc` arrives with the label's own text colour and font. The brush
    // returned paints the background; Qt::NoBrush lets the parent show.
    virtual QBrush CtlColor(CtlColorDC& dc);

    void paintEvent(QPaintEvent* pEvent) override;
};

} // namespace framework
