#include "controls/CreditsRoll.h"

#include "framework/Bitmaps.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

enum Style { kTitle, kSubtitle, kHeading, kBody };
constexpr int kBitmapMarker = 3;
constexpr std::array<int, 4> kWeights{700, 700, 700, 100};
const QRgb kKeyColour = qRgb(192, 192, 192);
constexpr int kTextFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine;

// The heights are cell heights, ascent and descent together, as the credits
// were laid out in; Qt sizes a font by its em, which is smaller.
QFont creditFont(const QString& strFace, int nCellHeight, int nWeight, bool bUnderline) {
    QFont font(strFace);
    font.setWeight(QFont::Weight(nWeight));
    font.setUnderline(bUnderline);
    font.setStyleStrategy(QFont::PreferQuality);
    font.setPixelSize(nCellHeight);
    const int nCell = QFontMetrics(font).height();
    if (nCell > nCellHeight) font.setPixelSize(std::max(1, nCellHeight * nCellHeight / nCell));
    return font;
}

// The canvas's pixels are written directly: a tick touches a row or two,
// less than a painter takes to begin. Both images are RGB32.
void fillRect(QImage& canvas, const QRect& rc, QRgb rgb) {
    const QRect rcFill = rc & canvas.rect();
    for (int y = rcFill.top(); y <= rcFill.bottom(); ++y) {
        auto* pRow = reinterpret_cast<QRgb*>(canvas.scanLine(y)) + rcFill.left();
        std::fill(pRow, pRow + rcFill.width(), rgb);
    }
}

// Copies rows of `image` from `nFirstRow` on to `ptTarget`, as far as both
// reach; the part of the canvas written.
QRect copyRows(QImage& canvas, QPoint ptTarget, const QImage& image, int nFirstRow, int nRows) {
    const QPoint ptOffset = ptTarget - QPoint(0, nFirstRow);
    const QRect rcTarget =
        (QRect(0, nFirstRow, image.width(), nRows) & image.rect()).translated(ptOffset) &
        canvas.rect();
    for (int y = rcTarget.top(); y <= rcTarget.bottom(); ++y) {
        const auto* pSource = reinterpret_cast<const QRgb*>(image.constScanLine(y - ptOffset.y()));
        std::copy_n(pSource + rcTarget.left() - ptOffset.x(), rcTarget.width(),
                    reinterpret_cast<QRgb*>(canvas.scanLine(y)) + rcTarget.left());
    }
    return rcTarget;
}

} // namespace

QImage CreditsRoll::LoadResourceBitmap(const QString& strName) {
    const QPixmap pixmap = framework::LoadBitmap(strName);
    QImage image = pixmap.toImage();
    // The canvas counts in the window's pixels: a picture rendered for a
    // denser screen is brought back to its own size.
    if (!image.isNull() && image.devicePixelRatio() != 1.0) {
        image = image.scaled(pixmap.deviceIndependentSize().toSize(), Qt::IgnoreAspectRatio,
                             Qt::SmoothTransformation);
        image.setDevicePixelRatio(1.0);
    }
    return image;
}

CreditsRoll::CreditsRoll(BitmapLoader loadBitmap) : m_loadBitmap(std::move(loadBitmap)) {
    for (int n = kTitle; n <= kBody; ++n)
        m_fonts[n] = creditFont(QStringLiteral("Arial"), m_nStyleHeights[n], kWeights[n], false);
}

bool CreditsRoll::SetCreditText(const QString& strText, QChar chSeparator) {
    QStringList lines;
    try {
        lines = strText.split(chSeparator);
    } catch (const std::bad_alloc&) {
        return false;
    }
    m_lines = std::move(lines);
    m_posNext = 0;
    m_nTick = 1;
    m_nRevealed = 0;
    return true;
}

int CreditsRoll::SelectSpeed(int nIndex, int nPeriod) {
    if (nIndex < 0 || nIndex >= int(m_nSpeeds.size())) return nIndex;
    if (nPeriod != 0) m_nSpeeds[nIndex] = nPeriod;
    m_nSpeedIndex = nIndex;
    return nIndex;
}

void CreditsRoll::SetStyleColor(int nIndex, const QColor& cr) {
    if (nIndex < 0 || nIndex >= int(m_crColors.size())) return;
    m_crColors[nIndex] = cr;
    // Rows of the old background are no longer background.
    if (nIndex == 0) std::fill(m_arrInked.begin(), m_arrInked.end(), true);
}

void CreditsRoll::SetTransparentBitmaps(bool bTransparent) {
    m_bTransparentBitmaps = bTransparent;
}

void CreditsRoll::Restart() {
    m_bmpCanvas = QImage();
    m_posNext = 0;
    m_nTick = 1;
    m_nRevealed = 0;
}

QRect CreditsRoll::Column(const QRect& rcClient) const {
    return {rcClient.left() + (rcClient.width() - m_nColumnWidth) / 2, rcClient.top(),
            m_nColumnWidth, rcClient.height()};
}

QRect CreditsRoll::Tick(QSize sizeClient, int nTicks) {
    const int nStep = std::abs(m_nScrollStep);
    QRect rcChanged;
    // Rows the frame's later ticks would still scroll what this tick draws;
    // negative until the frame's one scroll is done.
    int nRaise = -1;
    for (int n = 0; n < nTicks; ++n) {
        bool bFetched = false;
        bool bMeasure = false;
        if (!m_bItemActive) {
            const int t = m_nTick++;
            if (t % m_nLineHeight == 0) {
                bFetched = true;
                bMeasure = fetchNextLine();
            }
        }
        if (m_bmpCanvas.isNull()) newCanvas(sizeClient);
        if (m_bmpCanvas.isNull()) continue; // no client area, nothing to show

        const QRect rcClient = m_bmpCanvas.rect();
        const QRect rcColumn = Column(rcClient);
        if (nRaise < 0) {
            nRaise = (nTicks - n) * nStep;
            scrollCanvas(rcColumn, nRaise);
        }
        nRaise -= nStep;
        const QRect rcUncovered = uncoveredStrip(rcClient, rcColumn).translated(0, -nRaise);
        m_nRevealed += nStep;
        // A line is made ready once, when fetched; a bitmap that does not
        // load is a text line.
        if (bFetched) {
            m_bmpItem = QImage();
            if (isBitmapLine(m_strCurrent)) startItem(rcColumn);
            if (m_bItemActive) {
                if (bMeasure && m_nItemWidth > m_nColumnWidth) growColumn(m_nItemWidth, rcClient);
            } else if (!m_strCurrent.isEmpty()) {
                drawTextLine(bMeasure, rcClient, rcColumn);
            }
        }

        fillRect(m_bmpCanvas, rcUncovered, m_crColors[0].rgb());
        // Only the entering line's newest rows: the scroll brought up the others.
        QRect rcNewest;
        if (!m_strCurrent.isEmpty())
            rcNewest = copyRows(m_bmpCanvas, QPoint(m_nItemLeft, rcUncovered.top()), m_bmpItem,
                                m_nRevealed - nStep, nStep);
        const QRgb rgbBack = m_crColors[0].rgb();
        for (int y = rcNewest.top(); y <= rcNewest.bottom(); ++y) {
            const auto* pRow = reinterpret_cast<const QRgb*>(m_bmpCanvas.constScanLine(y));
            m_arrInked[y] = std::any_of(pRow + rcNewest.left(), pRow + rcNewest.right() + 1,
                                        [rgbBack](QRgb rgb) { return rgb != rgbBack; });
        }
        if (m_bItemActive && m_nRevealed >= m_nItemHeight) endItem();
        rcChanged |= (rcColumn | rcUncovered | rcNewest) & rcClient;
    }
    return rcChanged;
}

void CreditsRoll::newCanvas(QSize sizeClient) {
    m_bmpCanvas = QImage(sizeClient, QImage::Format_RGB32);
    m_bmpCanvas.fill(m_crColors[0]);
    m_arrInked.assign(std::size_t(m_bmpCanvas.height()), false);
}

bool CreditsRoll::fetchNextLine() {
    const bool bMeasure = m_bFirstPass;
    m_nTick = 1;
    m_strCurrent = m_lines.value(m_posNext);
    if (++m_posNext >= m_lines.size()) {
        m_bFirstPass = false;
        m_posNext = 0;
    }
    m_nRevealed = 0;
    return bMeasure;
}

QImage CreditsRoll::loadItem(const QString& strLine) const {
    const QImage bmp = m_loadBitmap(strLine.chopped(1));
    return bmp.isNull() ? bmp : bmp.convertToFormat(QImage::Format_ARGB32);
}

void CreditsRoll::startItem(const QRect& rcColumn) {
    const QImage bmp = loadItem(m_strCurrent);
    if (bmp.isNull()) return;
    m_nItemWidth = bmp.width();
    m_nItemHeight = bmp.height();
    m_nItemLeft = rcColumn.left() + rcColumn.width() - rcColumn.width() / 2 - m_nItemWidth / 2;
    // Keyed pixels show the canvas, and where the bitmap enters that is
    // the background.
    m_bmpItem = QImage(bmp.size(), QImage::Format_RGB32);
    m_bmpItem.fill(m_crColors[0]);
    QPainter painter(&m_bmpItem);
    drawItem(painter, QPoint(0, 0), bmp);
    m_bItemActive = true;
}

// Drawn once on the background: antialiased text drawn over itself each
// tick, as it rises, would grow heavier.
void CreditsRoll::drawTextLine(bool bMeasure, const QRect& rcClient, QRect rcColumn) {
    const TextLine line = textLine(m_strCurrent);
    if (line.nStyle >= 0) m_nLineHeight = m_nStyleHeights[line.nStyle];
    const QFont font = fontOf(line, m_fonts);
    if (bMeasure) {
        const int nWidth = QFontMetrics(font, &m_bmpCanvas).horizontalAdvance(line.strVisible);
        if (nWidth > m_nColumnWidth) {
            growColumn(nWidth, rcClient);
            rcColumn = Column(rcClient);
        }
    }
    m_nItemLeft = rcColumn.left();
    m_bmpItem = QImage(rcColumn.width(), m_nLineHeight, QImage::Format_RGB32);
    if (m_bmpItem.isNull()) return;
    m_bmpItem.fill(m_crColors[0]);
    QPainter painter(&m_bmpItem);
    painter.setFont(font);
    painter.setPen(colorOf(line));
    painter.drawText(m_bmpItem.rect(), kTextFlags, line.strVisible);
}

void CreditsRoll::scrollCanvas(const QRect& rcColumn, int nRows) {
    if (rcColumn.width() <= 0) return;
    const int nBottom = rcColumn.bottom() + 1;
    // Upward, and within the column only: the canvas beside it never moves.
    // Background moved onto background is no move at all.
    for (int y = rcColumn.top(); y + nRows < nBottom; ++y) {
        if (m_arrInked[y] || m_arrInked[y + nRows]) {
            const auto* pBelow =
                reinterpret_cast<const QRgb*>(m_bmpCanvas.constScanLine(y + nRows));
            std::copy_n(pBelow + rcColumn.left(), rcColumn.width(),
                        reinterpret_cast<QRgb*>(m_bmpCanvas.scanLine(y)) + rcColumn.left());
        }
        m_arrInked[y] = m_arrInked[y + nRows];
    }
    // The rows uncovered are background until the ticks draw them, so a
    // tick that fails leaves none of them showing what they held.
    const int nFirstUncovered = std::max(rcColumn.top(), nBottom - nRows);
    fillRect(m_bmpCanvas,
             QRect(rcColumn.left(), nFirstUncovered, rcColumn.width(), nBottom - nFirstUncovered),
             m_crColors[0].rgb());
    for (int y = nFirstUncovered; y < nBottom; ++y)
        m_arrInked[y] = false;
}

QRect CreditsRoll::uncoveredStrip(const QRect& rcClient, const QRect& rcColumn) const {
    const int nStep = std::abs(m_nScrollStep);
    const int nBottom = rcClient.bottom() + 1;
    if (rcColumn.width() <= 0) return {rcClient.left(), nBottom - nStep, rcClient.width(), nStep};
    return {rcColumn.left(), nBottom - nStep, rcColumn.width(), nStep};
}

void CreditsRoll::growColumn(int nWidth, const QRect& rcClient) {
    m_nColumnWidth = std::min(nWidth, rcClient.width());
}

void CreditsRoll::endItem() {
    m_bmpItem = QImage();
    m_bItemActive = false;
    m_nRevealed = 0;
    m_strCurrent.clear();
    m_nTick = 1;
}

void CreditsRoll::drawItem(QPainter& painter, QPoint ptTopLeft, const QImage& bmp) const {
    if (!m_bTransparentBitmaps) {
        painter.drawImage(ptTopLeft, bmp);
        return;
    }
    QImage keyed = bmp;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* pPixel = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        std::replace(pPixel, pPixel + keyed.width(), kKeyColour, QRgb(0));
    }
    painter.drawImage(ptTopLeft, keyed);
}

void CreditsRoll::BuildStillFrameOnce(QSize sizeClient) {
    if (!m_bmpCanvas.isNull()) return;
    newCanvas(sizeClient);
    if (m_bmpCanvas.isNull()) return;
    std::fill(m_arrInked.begin(), m_arrInked.end(), true);
    const QRect rcClient = m_bmpCanvas.rect();
    std::array<QFont, 4> fonts;
    for (int n = kTitle; n <= kBody; ++n)
        fonts[n] = creditFont(QStringLiteral("Arial Black"), m_nStyleHeights[n], kWeights[n],
                              n == kTitle || n == kHeading);

    QPainter painter(&m_bmpCanvas);
    int y = 0;
    for (qsizetype i = 0; i < m_lines.size() && y <= rcClient.height(); ++i) {
        if (isBitmapLine(m_lines[i])) {
            const QImage bmp = loadItem(m_lines[i]);
            if (!bmp.isNull()) {
                const int nLeft = rcClient.width() - rcClient.width() / 2 - bmp.width() / 2;
                drawItem(painter, QPoint(nLeft, y), bmp);
                y += bmp.height();
                continue;
            }
        }
        const TextLine line = textLine(m_lines[i]);
        painter.setFont(fontOf(line, fonts));
        painter.setPen(colorOf(line));
        if (!line.strVisible.isEmpty())
            painter.drawText(QRect(0, y, rcClient.width(), rcClient.height() - y), kTextFlags,
                             line.strVisible);
        y += painter.fontMetrics().height();
    }
}

bool CreditsRoll::isBitmapLine(const QString& strLine) const {
    return !strLine.isEmpty() && strLine.back() == m_chMarkers[kBitmapMarker];
}

CreditsRoll::TextLine CreditsRoll::textLine(const QString& strLine) const {
    if (strLine.isEmpty()) return {-1, {}};
    // A bitmap line met as text is one whose bitmap did not load: shown whole.
    if (isBitmapLine(strLine)) return {-1, strLine};
    for (int n = kTitle; n < kBody; ++n)
        if (strLine.back() == m_chMarkers[n]) return {n, strLine.chopped(1)};
    return {kBody, strLine};
}

// Without a style, the canvas's own default font and black.
QFont CreditsRoll::fontOf(const TextLine& line, const std::array<QFont, 4>& fonts) const {
    return line.nStyle >= 0 ? fonts[line.nStyle] : QFont();
}

QColor CreditsRoll::colorOf(const TextLine& line) const {
    return line.nStyle >= 0 ? m_crColors[line.nStyle + 1] : QColor(Qt::black);
}
