#include "controls/CreditsRoll.h"

#include "support/QtPrinters.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

const QColor kBack(0, 0, 0), kWhite(255, 255, 255), kKey(192, 192, 192);
const QSize kClient(60, 40);

// A bitmap whose every row has a colour of its own, so that a row on the
// canvas tells which row of the bitmap it is.
QImage stripedBitmap(int nWidth, int nHeight) {
    QImage bmp(nWidth, nHeight, QImage::Format_RGB32);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            bmp.setPixelColor(x, y, QColor(10 + 12 * y, 100, 200));
    return bmp;
}

CreditsRoll::BitmapLoader loaderOf(const QString& strName, const QImage& bmp) {
    return [strName, bmp](const QString& strAsked) { return strAsked == strName ? bmp : QImage(); };
}

// The ticks, counted from the start, on which a line was fetched.
std::vector<int> fetchTicks(CreditsRoll& roll, int nTicks) {
    std::vector<int> arrTicks;
    for (int n = 1; n <= nTicks; ++n) {
        const int nBefore = roll.NextLine();
        roll.Tick(kClient);
        if (roll.NextLine() != nBefore) arrTicks.push_back(n);
    }
    return arrTicks;
}

void tick(CreditsRoll& roll, int nTicks) {
    for (int n = 0; n < nTicks; ++n)
        roll.Tick(kClient);
}

// Antialiased text reaches its colour only nearly.
bool isNear(const QColor& a, const QColor& b) {
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
               std::abs(a.blue() - b.blue()) <
           90;
}

bool anyPixelNear(const QImage& image, const QColor& cr) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (isNear(image.pixelColor(x, y), cr)) return true;
    return false;
}

bool rowIs(const QImage& image, int y, int nLeft, int nWidth, const QColor& cr) {
    for (int x = nLeft; x < nLeft + nWidth; ++x)
        if (image.pixelColor(x, y) != cr) return false;
    return true;
}

// Rows holding anything but the background.
std::vector<int> inkedRows(const QImage& image) {
    std::vector<int> arrRows;
    for (int y = 0; y < image.height(); ++y)
        if (!rowIs(image, y, 0, image.width(), kBack)) arrRows.push_back(y);
    return arrRows;
}

TEST(CreditsRoll, EverySeparatorEndsALine) {
    CreditsRoll roll;
    const std::pair<QString, QStringList> cases[] = {
        {"", {""}},
        {"|", {"", ""}},
        {"a||b|", {"a", "", "b", ""}},
    };
    for (const auto& [strText, arrLines] : cases) {
        ASSERT_TRUE(roll.SetCreditText(strText, u'|'));
        EXPECT_EQ(roll.Lines(), arrLines);
    }
}

TEST(CreditsRoll, EmptyTextScrollsOnlyBackground) {
    CreditsRoll roll;
    roll.SetStyleColor(0, QColor(13, 47, 109));
    roll.SetCreditText("", u'|');
    tick(roll, 100);
    const QImage& canvas = roll.Canvas();
    ASSERT_EQ(canvas.size(), kClient);
    for (int y = 0; y < canvas.height(); ++y)
        ASSERT_TRUE(rowIs(canvas, y, 0, canvas.width(), QColor(13, 47, 109))) << y;
    EXPECT_EQ(roll.ColumnWidth(), 0);
}

TEST(CreditsRoll, EachLineTakesItsStylesHeightAndEmptyLinesThatOfTheLineBefore) {
    CreditsRoll roll;
    // 15 each at the start; after the title its 21; then subtitle 19,
    // heading 17 and body 15; then the first line again, straight after
    // the last line's own height.
    roll.SetCreditText("||T\t|||S\n|H\r|x", u'|');
    EXPECT_EQ(fetchTicks(roll, 160), (std::vector<int>{15, 30, 45, 66, 87, 108, 127, 144, 159}));
}

TEST(CreditsRoll, ATextLineRisesFromTheBottomOneRowATick) {
    CreditsRoll roll;
    roll.SetCreditText("|MMMM", u'|');
    tick(roll, 30); // the fetch of "MMMM"
    ASSERT_EQ(roll.Current(), "MMMM");
    EXPECT_GT(roll.ColumnWidth(), 0);
    const int nBottom = kClient.height() - 1;
    for (int nShown = 1; nShown <= 15; ++nShown) {
        for (int y : inkedRows(roll.Canvas()))
            ASSERT_GT(y, nBottom - nShown) << "after " << nShown << " ticks";
        roll.Tick(kClient);
    }
    EXPECT_TRUE(anyPixelNear(roll.Canvas(), kWhite)) << "the body colour";
}

// Each tick moves the column up one row, whatever it holds, and leaves the
// canvas beside the column as it was, but for the entering line's row.
void expectScrolledByOneRow(const QImage& before, const QImage& after, const QRect& rcColumn,
                            int nTick) {
    for (int y = 0; y + 1 < kClient.height(); ++y)
        for (int x = rcColumn.left(); x <= rcColumn.right(); ++x)
            ASSERT_EQ(after.pixelColor(x, y), before.pixelColor(x, y + 1))
                << x << "," << y << " on tick " << nTick;
    for (int y = 0; y + 1 < kClient.height(); ++y)
        for (int x = 0; x < kClient.width(); ++x)
            if (x < rcColumn.left() || x > rcColumn.right()) {
                ASSERT_EQ(after.pixelColor(x, y), before.pixelColor(x, y))
                    << x << "," << y << " on tick " << nTick;
            }
}

TEST(CreditsRoll, EachTickScrollsTheColumnAndNothingBesideIt) {
    CreditsRoll roll;
    // Lines and gaps; the wider "MM" widens the column on its fetch tick.
    roll.SetCreditText("|M|MM|||M\r|", u'|');
    tick(roll, 35); // "M" is entering, the column as wide as it
    for (int n = 1; n <= 120; ++n) {
        const QRect rcColumn = roll.Column(QRect(QPoint(0, 0), kClient));
        const QImage before = roll.Canvas().copy();
        // While an empty line enters: rows of the old background move on.
        if (n == 45) roll.SetStyleColor(0, QColor(13, 47, 109));
        roll.Tick(kClient);
        expectScrolledByOneRow(before, roll.Canvas(), rcColumn, n);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

TEST(CreditsRoll, ABitmapEntersRowByRowAndTheNextLineFollowsItsHeight) {
    // Taller than a line: no fetch may come while it enters.
    const int nHeight = 20;
    const QImage bmp = stripedBitmap(6, nHeight);
    CreditsRoll roll(loaderOf("IMG", bmp));
    roll.SetCreditText("IMG^|A", u'|');
    tick(roll, 14);
    const int nBottom = kClient.height() - 1;
    const int nLeft = (kClient.width() - 6) / 2; // the column is as wide as the bitmap
    for (int nShown = 1; nShown <= nHeight; ++nShown) {
        roll.Tick(kClient); // from the 15th tick, the fetch tick, on
        ASSERT_EQ(roll.ColumnWidth(), 6);
        ASSERT_EQ(roll.Current(), nShown < nHeight ? "IMG^" : "");
        for (int r = 0; r < nShown; ++r)
            ASSERT_TRUE(
                rowIs(roll.Canvas(), nBottom - nShown + 1 + r, nLeft, 6, bmp.pixelColor(0, r)))
                << "row " << r << " after " << nShown << " ticks";
        EXPECT_EQ(roll.ItemActive(), nShown < nHeight);
    }
    // The next line comes a line height after the tick that showed the last row.
    EXPECT_EQ(fetchTicks(roll, 15), std::vector<int>{15});
    EXPECT_EQ(roll.Current(), "A");
}

TEST(CreditsRoll, KeyedPixelsShowTheBackgroundWhenTransparent) {
    QImage bmp(4, 1, QImage::Format_RGB32);
    bmp.fill(kWhite);
    bmp.setPixelColor(1, 0, kKey);
    for (const bool bTransparent : {false, true}) {
        CreditsRoll roll(loaderOf("K", bmp));
        roll.SetTransparentBitmaps(bTransparent);
        roll.SetCreditText("K^|", u'|');
        tick(roll, 15);
        const int nLeft = (kClient.width() - 4) / 2, nBottom = kClient.height() - 1;
        EXPECT_EQ(roll.Canvas().pixelColor(nLeft, nBottom), kWhite);
        EXPECT_EQ(roll.Canvas().pixelColor(nLeft + 1, nBottom), bTransparent ? kBack : kKey);
    }
}

TEST(CreditsRoll, ABitmapThatDoesNotLoadIsTextMarkerAndAll) {
    CreditsRoll roll(loaderOf("OTHER", stripedBitmap(4, 4)));
    roll.SetStyleColor(0, kWhite); // the canvas's default text colour is black
    roll.SetCreditText("NOPE^|A", u'|');
    tick(roll, 15);
    EXPECT_FALSE(roll.ItemActive());
    EXPECT_EQ(roll.ColumnWidth(), QFontMetrics(QFont(), &roll.Canvas()).horizontalAdvance("NOPE^"));
    tick(roll, 10);
    EXPECT_TRUE(anyPixelNear(roll.Canvas(), Qt::black));
    // It keeps the height of the line before: the initial 15.
    EXPECT_EQ(fetchTicks(roll, 5), std::vector<int>{5});
}

TEST(CreditsRoll, AfterTheFirstPassNothingIsMeasuredAgain) {
    CreditsRoll roll;
    roll.SetCreditText("i|ii", u'|');
    tick(roll, 30);
    EXPECT_FALSE(roll.FirstPass());
    EXPECT_EQ(roll.NextLine(), 0) << "the first line follows the last";
    const int nWidth = roll.ColumnWidth();
    ASSERT_GT(nWidth, 0);

    // Wider lines met later are centred and clipped to the column.
    roll.SetCreditText("WWWWWWWWWW|WWWWWWWWWW", u'|');
    tick(roll, 40);
    EXPECT_EQ(roll.ColumnWidth(), nWidth);
    const QRect rcColumn = roll.Column(QRect(QPoint(0, 0), kClient));
    for (int y = 0; y < kClient.height(); ++y) {
        EXPECT_TRUE(rowIs(roll.Canvas(), y, 0, rcColumn.left(), kBack));
        EXPECT_TRUE(rowIs(roll.Canvas(), y, rcColumn.right() + 1,
                          kClient.width() - rcColumn.right() - 1, kBack));
    }
}

// A frame's ticks are run at once, for one scroll of the canvas.
TEST(CreditsRoll, SeveralTicksAtOnceEndAsTheSameTicksOneByOne) {
    QImage bmp = stripedBitmap(9, 6);
    bmp.setPixelColor(4, 2, kKey);
    // Short and long lines, so that the column grows inside a frame, an
    // empty line, and a keyed bitmap.
    const QString strCredits = "i\t|WWWWWWW\n||LOGO^|ii\r|x";
    for (const QSize sizeClient : {kClient, QSize(60, 3)}) {
        for (const int nTicks : {2, 5, 7}) {
            const auto roll = [&] {
                CreditsRoll made(loaderOf("LOGO", bmp));
                made.SetTransparentBitmaps(true);
                made.SetCreditText(strCredits, u'|');
                return made;
            };
            CreditsRoll batched = roll();
            CreditsRoll single = roll();
            for (int nFrame = 1; nFrame * nTicks <= 400; ++nFrame) {
                if (nFrame == 30) {
                    batched.SetStyleColor(0, kWhite);
                    single.SetStyleColor(0, kWhite);
                }
                const QImage before = batched.Canvas().copy();
                const QRect rcChanged = batched.Tick(sizeClient, nTicks);
                for (int n = 0; n < nTicks; ++n)
                    single.Tick(sizeClient);
                const std::string where = std::to_string(sizeClient.height()) + " rows, " +
                                          std::to_string(nTicks) + " ticks, frame " +
                                          std::to_string(nFrame);
                ASSERT_EQ(batched.Canvas(), single.Canvas()) << where;
                ASSERT_EQ(batched.Current(), single.Current()) << where;
                ASSERT_EQ(batched.Revealed(), single.Revealed()) << where;
                ASSERT_EQ(batched.ColumnWidth(), single.ColumnWidth()) << where;
                // What the window is told to repaint holds every change.
                if (before.isNull()) continue;
                for (int y = 0; y < before.height(); ++y)
                    for (int x = 0; x < before.width(); ++x) {
                        if (before.pixel(x, y) != batched.Canvas().pixel(x, y)) {
                            ASSERT_TRUE(rcChanged.contains(x, y)) << x << "," << y << ", " << where;
                        }
                    }
            }
        }
    }
}

TEST(CreditsRoll, ALineWiderThanTheClientAreaMakesTheColumnAsWide) {
    CreditsRoll roll;
    roll.SetCreditText("WWWWWWWWWWWWWWWWWWWW\t|", u'|');
    tick(roll, 15);
    EXPECT_EQ(roll.ColumnWidth(), kClient.width());
}

TEST(CreditsRoll, SelectSpeedStoresNonZeroPeriodsAndMakesTheSlotCurrent) {
    CreditsRoll roll;
    EXPECT_EQ(roll.Period(), 40);
    EXPECT_EQ(roll.SelectSpeed(2, 0), 2);
    EXPECT_EQ(roll.Period(), 5);
    EXPECT_EQ(roll.SelectSpeed(0, 100), 0);
    EXPECT_EQ(roll.Period(), 100);
    EXPECT_EQ(roll.SelectSpeed(3, 7), 3) << "out of range: nothing changes";
    EXPECT_EQ(roll.Period(), 100);
}

TEST(CreditsRoll, RestartBeginsAgainFromTheFirstLineOnAFreshCanvas) {
    CreditsRoll roll;
    roll.SetCreditText("A|B|C", u'|');
    tick(roll, 40);
    ASSERT_EQ(roll.NextLine(), 2);
    roll.Restart();
    EXPECT_TRUE(roll.Canvas().isNull());
    EXPECT_EQ(fetchTicks(roll, 15), std::vector<int>{15});
    EXPECT_EQ(roll.Current(), "A");
}

TEST(CreditsRoll, StillFrameStacksTheLinesFromTheTopOnce) {
    QImage bmp = stripedBitmap(6, 5);
    bmp.setPixelColor(2, 2, kKey);
    CreditsRoll roll(loaderOf("IMG", bmp));
    roll.SetTransparentBitmaps(true);
    roll.SetStyleColor(1, QColor(248, 200, 8));
    roll.SetCreditText("IMG^|MMMM\t", u'|');
    roll.BuildStillFrameOnce(kClient);
    const QImage canvas = roll.Canvas().copy();
    const int nLeft = kClient.width() - kClient.width() / 2 - 3;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(canvas.pixelColor(nLeft + x, y),
                      x == 2 && y == 2 ? kBack : bmp.pixelColor(x, y));
    // The title below it, underlined: a row of title colour across the text.
    int nLongest = 0;
    for (int y = 5; y < kClient.height(); ++y) {
        int nRun = 0;
        for (int x = 0; x < kClient.width(); ++x) {
            nRun = isNear(canvas.pixelColor(x, y), QColor(248, 200, 8)) ? nRun + 1 : 0;
            nLongest = std::max(nLongest, nRun);
        }
    }
    EXPECT_GT(nLongest, 30);

    roll.SetStyleColor(0, kWhite);
    roll.BuildStillFrameOnce(kClient);
    EXPECT_EQ(roll.Canvas(), canvas) << "built once";
}

} // namespace
