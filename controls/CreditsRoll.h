#pragma once

#include <QChar>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>

#include <array>
#include <functional>
#include <vector>

class QPainter;

// The credits scroller's step, apart from any window: the credit lines,
// which line is entering and how far, and the off-screen canvas that each
// tick moves up by one row. CCreditsScroller drives it from its timer.
class CreditsRoll {
public:
    // A bitmap resource by name; a null image when it does not load.
    using BitmapLoader = std::function<QImage(const QString& strName)>;
    static QImage LoadResourceBitmap(const QString& strName);

    explicit CreditsRoll(BitmapLoader loadBitmap = LoadResourceBitmap);

    // Every separator ends a line; false, changing nothing, when the text
    // cannot be copied.
    bool SetCreditText(const QString& strText, QChar chSeparator);
    // A zero period keeps the slot's own; the slot becomes current. An
    // index outside 0 to 2 changes nothing.
    int SelectSpeed(int nIndex, int nPeriod);
    // 0 background, 1 title, 2 subtitle, 3 heading, 4 body.
    void SetStyleColor(int nIndex, const QColor& cr);
    // Bitmap pixels of RGB(192, 192, 192) then let the canvas show through.
    void SetTransparentBitmaps(bool bTransparent);

    // From the first line again, on a canvas the next tick builds afresh.
    void Restart();
    // Scroll steps in a client area of this size (the canvas's, once made);
    // the part of the canvas they changed. Several steps at once, as one
    // frame shows them, end as the same steps one by one would, for one
    // scroll of the canvas by all their rows: each step draws its rows
    // where the later steps' scrolls would have brought them.
    QRect Tick(QSize sizeClient, int nTicks = 1);
    // For a roll that does not scroll: the lines from the top, built once.
    void BuildStillFrameOnce(QSize sizeClient);

    // Null until a tick or the still frame made it.
    const QImage& Canvas() const { return m_bmpCanvas; }
    int Period() const { return m_nSpeeds[m_nSpeedIndex]; }
    QColor Color(int nIndex) const { return m_crColors[nIndex]; }
    const QStringList& Lines() const { return m_lines; }
    int NextLine() const { return int(m_posNext); }
    const QString& Current() const { return m_strCurrent; }
    int Revealed() const { return m_nRevealed; }
    int ColumnWidth() const { return m_nColumnWidth; }
    bool FirstPass() const { return m_bFirstPass; }
    bool ItemActive() const { return m_bItemActive; }
    // The part of the client area that scrolls.
    QRect Column(const QRect& rcClient) const;

private:
    // A text line's style (-1: none, the canvas's default font and colour)
    // and the text it shows.
    struct TextLine {
        int nStyle;
        QString strVisible;
    };

    TextLine textLine(const QString& strLine) const;
    bool isBitmapLine(const QString& strLine) const;
    // `fonts` holds one font a style.
    QFont fontOf(const TextLine& line, const std::array<QFont, 4>& fonts) const;
    QColor colorOf(const TextLine& line) const;
    QImage loadItem(const QString& strLine) const;
    void drawItem(QPainter& painter, QPoint ptTopLeft, const QImage& bmp) const;

    // Filled with the background.
    void newCanvas(QSize sizeClient);
    bool fetchNextLine();
    void startItem(const QRect& rcColumn);
    void drawTextLine(bool bMeasure, const QRect& rcClient, QRect rcColumn);
    void scrollCanvas(const QRect& rcColumn, int nRows);
    // Where a step's scroll uncovers the bottom row.
    QRect uncoveredStrip(const QRect& rcClient, const QRect& rcColumn) const;
    void growColumn(int nWidth, const QRect& rcClient);
    void endItem();

    std::array<QColor, 5> m_crColors{QColor(0, 0, 0), QColor(255, 0, 0), QColor(255, 255, 0),
                                     QColor(0, 255, 255), QColor(255, 255, 255)};
    const std::array<int, 4> m_nStyleHeights{21, 19, 17, 15};
    const std::array<QChar, 4> m_chMarkers{u'\t', u'\n', u'\r', u'^'};
    std::array<int, 3> m_nSpeeds{70, 40, 5};
    int m_nSpeedIndex = 1;
    QStringList m_lines;
    QString m_strCurrent;
    int m_nTick = 1;
    qsizetype m_posNext = 0;
    int m_nRevealed = 0;
    const int m_nScrollStep = -1;
    int m_nLineHeight = 15;
    // The entering line, text or bitmap, drawn once on the background as
    // the canvas will show it; each tick brings in its next row.
    QImage m_bmpItem;
    QImage m_bmpCanvas;
    int m_nItemWidth = 0;
    int m_nItemHeight = 0;
    int m_nItemLeft = 0;
    bool m_bItemActive = false; // the entering line is a bitmap
    bool m_bFirstPass = true;
    bool m_bTransparentBitmaps = false;
    int m_nColumnWidth = 0;

    // Rows of the canvas whose column may hold more than the background:
    // the scroll need not move the others.
    std::vector<bool> m_arrInked;

    BitmapLoader m_loadBitmap;
    // The styles' fonts while scrolling, made once: their heights never change.
    std::array<QFont, 4> m_fonts;
};
