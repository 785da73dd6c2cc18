#include "ButtonPreview.h"

#include <QFileInfo>
#include <QImageReader>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QTimerEvent>

#include <algorithm>

namespace {

constexpr int kGap = 12;
constexpr int kLabelHeight = 18;
constexpr int kFrameMs = 40;
constexpr int kMaxIconBytes = 4 * 1024 * 1024;

const char* const kLabels[] = {"Normal", "Hover", "Pressed", "Focus"};

} // namespace

ButtonPreview::ButtonPreview(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void ButtonPreview::setSettings(const GlimmerSettings& settings) {
    m_settings = settings;
    m_dark = DarkColors::dark(settings);
    loadIcon();
    updateGeometry();
    update();
}

void ButtonPreview::loadIcon() {
    if (m_iconSource == m_settings.iconPath) return;
    m_iconSource = m_settings.iconPath;
    m_icon = QImage();
    if (m_iconSource.isEmpty() || QFileInfo(m_iconSource).size() > kMaxIconBytes) return;
    const int side = 128;
    if (m_iconSource.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        QSvgRenderer svg(m_iconSource);
        if (!svg.isValid()) return;
        m_icon = QImage(side, side, QImage::Format_ARGB32_Premultiplied);
        m_icon.fill(Qt::transparent);
        QPainter p(&m_icon);
        svg.render(&p);
    } else {
        QImageReader reader(m_iconSource);
        // Guards against images that claim enormous sizes.
        const QSize size = reader.size();
        if (!size.isValid() || size.width() > 4096 || size.height() > 4096) return;
        m_icon = reader.read();
    }
}

QSize ButtonPreview::sizeHint() const {
    const int w = std::min(m_settings.width, 220);
    const int h = std::min(m_settings.height, 120);
    return {4 * w + 5 * kGap, 2 * h + kLabelHeight + 3 * kGap};
}

QSize ButtonPreview::minimumSizeHint() const {
    return {4 * 60 + 5 * kGap, sizeHint().height()};
}

void ButtonPreview::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const qreal cell = (width() - 5.0 * kGap) / 4.0;
    // Shrunk as a whole, never distorted, when the dialog is narrow.
    const qreal scale = std::min({1.0, cell / m_settings.width, 120.0 / m_settings.height});
    const QSizeF button(m_settings.width * scale, m_settings.height * scale);
    const qreal rowHeight = button.height() + kGap;
    const qreal top = kLabelHeight + kGap / 2.0;
    p.fillRect(QRectF(0, top, width(), rowHeight), m_settings.pageColor);
    p.fillRect(QRectF(0, top + rowHeight, width(), rowHeight), DarkColors::DarkPage);
    const SchemeColors light = DarkColors::light(m_settings);
    for (int i = 0; i < ButtonStateCount; ++i) {
        const qreal x = kGap + i * (cell + kGap);
        p.setPen(palette().color(QPalette::Text));
        p.drawText(QRectF(x, 2, cell, kLabelHeight), Qt::AlignCenter, tr(kLabels[i]));
        for (int row = 0; row < 2; ++row) {
            const QRectF r(x + (cell - button.width()) / 2, top + kGap / 2.0 + row * rowHeight,
                           button.width(), button.height());
            p.save();
            p.translate(r.topLeft());
            p.scale(scale, scale);
            paintButton(p, QRectF(0, 0, m_settings.width, m_settings.height),
                        row == 0 ? light : m_dark, static_cast<ButtonState>(i), m_phase);
            p.restore();
        }
    }
}

QImage ButtonPreview::renderState(ButtonState state, qreal phase, Scheme scheme) const {
    QImage image(m_settings.width + 12, m_settings.height + 12,
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    paintButton(p, QRectF(6, 6, m_settings.width, m_settings.height),
                scheme == Scheme::Light ? DarkColors::light(m_settings) : m_dark, state, phase);
    return image;
}

void ButtonPreview::paintButton(QPainter& p, const QRectF& rect, const SchemeColors& colors,
                                ButtonState state, qreal phase) const {
    const GlimmerSettings& s = m_settings;
    const StateColors& c = colors.state(state);
    const qreal radius =
        std::min<qreal>({qreal(s.cornerRadius), rect.width() / 2, rect.height() / 2});
    QPainterPath shape;
    shape.addRoundedRect(rect, radius, radius);

    if (s.fillStyle == FillStyle::Gradient) {
        QLinearGradient g(rect.topLeft(), rect.bottomLeft());
        g.setColorAt(0, c.fill);
        g.setColorAt(1, c.fill2);
        p.fillPath(shape, g);
    } else {
        p.fillPath(shape, c.fill);
    }

    const bool glimmerShown = s.glimmerEnabled && phase >= 0 &&
                              (s.glimmerTrigger == GlimmerTrigger::Always ||
                               state == ButtonState::Hover || state == ButtonState::Focus);
    if (glimmerShown) {
        const qreal band = rect.width() * 0.4;
        const qreal x = rect.left() - 1.5 * band + phase * 5 * band;
        QLinearGradient g(QPointF(x, 0), QPointF(x + band, 0));
        QColor edge = s.glimmerColor;
        edge.setAlpha(0);
        QColor middle = s.glimmerColor;
        middle.setAlphaF(0.6);
        g.setColorAt(0, edge);
        g.setColorAt(0.5, middle);
        g.setColorAt(1, edge);
        p.save();
        p.setClipPath(shape);
        p.fillRect(QRectF(x, rect.top(), band, rect.height()), g);
        p.restore();
    }

    if (s.borderWidth > 0) {
        const qreal half = s.borderWidth / 2.0;
        QPainterPath inner;
        const qreal r = std::max<qreal>(0, radius - half);
        inner.addRoundedRect(rect.adjusted(half, half, -half, -half), r, r);
        p.strokePath(inner, QPen(colors.border, s.borderWidth));
    }

    QFont font(s.fontFamily);
    font.setPixelSize(s.fontSize);
    font.setWeight(static_cast<QFont::Weight>(s.fontWeight));
    p.setFont(font);
    const QFontMetricsF fm(font);
    const qreal padding = 0.6 * s.fontSize, gap = 0.4 * s.fontSize;
    const bool hasIcon = !m_icon.isNull();
    const qreal iconWidth = hasIcon ? s.iconSize : 0;
    const qreal room =
        rect.width() - 2 * s.borderWidth - 2 * padding - (hasIcon ? iconWidth + gap : 0);
    const QString text = fm.elidedText(s.caption, Qt::ElideRight, std::max<qreal>(0, room));
    const qreal textWidth = s.caption.isEmpty() ? 0 : fm.horizontalAdvance(text);
    const qreal content = textWidth + (hasIcon ? iconWidth + (textWidth > 0 ? gap : 0) : 0);
    qreal x = rect.center().x() - content / 2;
    auto drawIcon = [&] {
        const QRectF box(x, rect.center().y() - iconWidth / 2, iconWidth, iconWidth);
        p.drawImage(box, m_icon);
        x += iconWidth + (textWidth > 0 ? gap : 0);
    };
    if (hasIcon && s.iconPosition == IconPosition::Left) drawIcon();
    p.setPen(c.text);
    p.drawText(QRectF(x, rect.top(), textWidth + 1, rect.height()),
               Qt::AlignVCenter | Qt::AlignLeft, text);
    x += textWidth + (textWidth > 0 ? gap : 0);
    if (hasIcon && s.iconPosition == IconPosition::Right) drawIcon();

    if (state == ButtonState::Focus) {
        // The same two-tone ring the page shows.
        QPainterPath ring;
        ring.addRoundedRect(rect.adjusted(-3, -3, 3, 3), radius + 3, radius + 3);
        p.strokePath(ring, QPen(Qt::black, 2));
        QPainterPath inner;
        inner.addRoundedRect(rect.adjusted(-1, -1, 1, 1), radius + 1, radius + 1);
        p.strokePath(inner, QPen(Qt::white, 2));
    }
}

void ButtonPreview::timerEvent(QTimerEvent* event) {
    if (event->timerId() != m_timer.timerId()) return QWidget::timerEvent(event);
    m_phase += qreal(kFrameMs) / m_settings.glimmerPeriodMs();
    if (m_phase > 1) m_phase -= 1;
    if (m_settings.glimmerEnabled) update();
}

void ButtonPreview::showEvent(QShowEvent*) {
    m_timer.start(kFrameMs, this);
}

void ButtonPreview::hideEvent(QHideEvent*) {
    m_timer.stop();
}
