#pragma once
#include "DarkColors.h"
#include "GlimmerSettings.h"

#include <QBasicTimer>
#include <QImage>
#include <QString>
#include <QWidget>

class QPainter;

// Paints the button as a page would show it, in its normal, hover, pressed
// and keyboard-focus states side by side: once on the chosen page colour and
// once, in its dark-scheme colours, on a dark page. The glimmer band sweeps
// while the widget is visible, as it would on the page.
class ButtonPreview : public QWidget {
    Q_OBJECT
public:
    explicit ButtonPreview(QWidget* parent = nullptr);

    void setSettings(const GlimmerSettings& settings);
    const GlimmerSettings& settings() const { return m_settings; }

    enum class Scheme { Light, Dark };

    // One state drawn at full size on a transparent image; `phase` 0..1 places
    // the glimmer band, a negative phase leaves it out.
    QImage renderState(ButtonState state, qreal phase = -1, Scheme scheme = Scheme::Light) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void timerEvent(QTimerEvent*) override;
    void showEvent(QShowEvent*) override;
    void hideEvent(QHideEvent*) override;

private:
    void paintButton(QPainter& p, const QRectF& rect, const SchemeColors& colors, ButtonState state,
                     qreal phase) const;
    void loadIcon();

    GlimmerSettings m_settings;
    SchemeColors m_dark;
    QImage m_icon;
    QString m_iconSource;
    QBasicTimer m_timer;
    qreal m_phase = 0;
};
