#include "output/publishing/PageText.h"
#include "output/PageEditor.h"
#include "support/PageCaret.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Load, then write back without a change.
QByteArray roundTrip(const QByteArray& file) {
    const PageText page = LoadPageText(file);
    EXPECT_TRUE(page.refusal.isEmpty()) << page.refusal.toStdString();
    bool ok = false;
    QByteArray bytes = PageBytes(page, page.editorText, &ok);
    EXPECT_TRUE(ok);
    return bytes;
}

QByteArray encoded(const char* encoding, const QString& text) {
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

} // namespace

TEST(PageText, LineEndsBecomeCrLfAndALoneCrStays) {
    EXPECT_EQ(WithCrLfLineEnds(QByteArray()), QByteArray());
    EXPECT_EQ(WithCrLfLineEnds(QByteArray("a\nb\n")), QByteArray("a\r\nb\r\n"));
    EXPECT_EQ(WithCrLfLineEnds(QByteArray("a\r\nb")), QByteArray("a\r\nb\r\n"))
        << "a last line gains one";
    EXPECT_EQ(WithCrLfLineEnds(QByteArray("\n\n")), QByteArray("\r\n\r\n"));
    EXPECT_EQ(WithCrLfLineEnds(QByteArray("a\rb\r\r\n")), QByteArray("a\rb\r\r\n"))
        << "a CR not followed by LF is part of its line";
}

TEST(PageText, EveryEncodingSurvivesLoadAndWriteBack) {
    const QString text = QStringLiteral(
        "<p>caf\u00e9 \u65e5\u672c\u8a9e \ud55c\uad6d\uc5b4 \u4e2d\u6587</p>\n<p>end</p>\n");
    struct Case {
        const char* name;
        QByteArray file;
        PageText::Mode mode;
    };
    const QString kanji = QStringLiteral("\u65e5\u672c\u8a9e\u306e\u30da\u30fc\u30b8\n");
    const QString hangul = QStringLiteral("\ud55c\uad6d\uc5b4 \ud398\uc774\uc9c0\n");
    const QString hanzi = QStringLiteral("\u4e2d\u6587\u7f51\u9875\n");
    const QString hanziTrad = QStringLiteral("\u7e41\u9ad4\u4e2d\u6587\n");
    const Case cases[] = {
        {"Shift_JIS", "<meta charset=\"Shift_JIS\">\n" + encoded("Shift_JIS", kanji),
         PageText::Encoded},
        {"EUC-KR",
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=euc-kr\">\n" +
             encoded("EUC-KR", hangul),
         PageText::Encoded},
        {"GB2312", "<?xml version=\"1.0\" encoding=\"gb2312\"?>\n" + encoded("GB2312", hanzi),
         PageText::Encoded},
        {"Big5", "<meta charset=big5>\n" + encoded("Big5", hanziTrad), PageText::Encoded},
        {"UTF-16LE", "\xFF\xFE" + encoded("UTF-16LE", text), PageText::Encoded},
        {"UTF-16BE", "\xFE\xFF" + encoded("UTF-16BE", text), PageText::Encoded},
        {"UTF-32LE", QByteArray("\xFF\xFE\x00\x00", 4) + encoded("UTF-32LE", text),
         PageText::Encoded},
        {"windows-1252", "<meta charset=windows-1252>\nna\xefve \x80 \x93quoted\x94\n",
         PageText::Bytes},
        {"UTF-8", text.toUtf8(), PageText::Utf8},
        {"UTF-8 BOM", "\xEF\xBB\xBF" + text.toUtf8(), PageText::Utf8},
    };
    for (const Case& c : cases) {
        const PageText page = LoadPageText(c.file);
        EXPECT_EQ(page.mode, c.mode) << c.name;
        const QByteArray once = roundTrip(c.file);
        EXPECT_EQ(roundTrip(once), once) << c.name << ": stable";
        if (page.mode == PageText::Encoded && page.bom.isEmpty()) {
            // Only the line ends changed: LF became CR LF, nothing else.
            QByteArray expected = c.file;
            expected.replace("\n", "\r\n");
            EXPECT_EQ(once, expected) << c.name;
        }
    }
    // UTF-16: the line-end rule works on characters; splitting at byte 0x0A would ruin it.
    const QByteArray utf16 = "\xFF\xFE" + encoded("UTF-16LE", QStringLiteral("a\u0a0a\nb"));
    EXPECT_EQ(roundTrip(utf16),
              "\xFF\xFE" + encoded("UTF-16LE", QStringLiteral("a\u0a0a\r\nb\r\n")));
    // A U+FEFF after the mark is the text's first character, and stays.
    for (const char* encoding : {"UTF-16LE", "UTF-16BE", "UTF-32LE"}) {
        const QByteArray mark = encoded(encoding, QStringLiteral("\ufeff"));
        const QByteArray twoMarks = mark + encoded(encoding, QStringLiteral("\ufeffa\r\n"));
        EXPECT_EQ(roundTrip(twoMarks), twoMarks) << encoding;
    }
}

// Pages are decoded, checked and encoded a piece at a time: characters and
// surrogate pairs cut at a piece's end come through whole, and a broken one
// anywhere still refuses the page.
TEST(PageText, LargePagesComeThroughWholeAcrossPieces) {
    // One character of two bytes first, so that four-byte characters straddle
    // every piece boundary of a UTF-16 page; odd byte counts for Shift_JIS.
    QString wide = QStringLiteral("a");
    QString kanji = QStringLiteral("<meta charset=shift_jis>\n");
    // Characters of one, two, three and four bytes in UTF-8, in turn.
    const QString kinds[] = {QStringLiteral("a"), QStringLiteral("\u00e9"),
                             QStringLiteral("\u65e5"), QStringLiteral("\U0001F600")};
    QString mixed;
    for (int i = 0; i < 12000; ++i) {
        wide += QStringLiteral("\U0001F600");
        kanji += i % 7 == 0 ? QStringLiteral("a\n") : QStringLiteral("\u65e5");
        mixed += kinds[i % 4];
    }
    const struct {
        const char* name;
        QByteArray file;
        QString text;
    } cases[] = {
        {"UTF-16LE", "\xFF\xFE" + encoded("UTF-16LE", wide), wide},
        {"UTF-16BE", "\xFE\xFF" + encoded("UTF-16BE", wide), wide},
        {"UTF-32LE", QByteArray("\xFF\xFE\x00\x00", 4) + encoded("UTF-32LE", wide), wide},
        {"UTF-16BE", "\xFE\xFF" + encoded("UTF-16BE", mixed), mixed},
        {"UTF-32BE", QByteArray("\x00\x00\xFE\xFF", 4) + encoded("UTF-32BE", mixed), mixed},
        {"Shift_JIS", encoded("Shift_JIS", kanji), kanji},
    };
    for (const auto& c : cases) {
        const PageText page = LoadPageText(c.file, LineEnds::AsTheyAre);
        ASSERT_EQ(page.mode, PageText::Encoded) << c.name << ": " << page.refusal.toStdString();
        EXPECT_EQ(page.editorText, c.text.toUtf8()) << c.name;
        // Decoded from UTF-16 or UTF-32 into room of exactly its size: grown,
        // it could take twice.
        if (QByteArray(c.name).startsWith("UTF")) {
            EXPECT_EQ(page.editorText.capacity(), page.editorText.size()) << c.name;
        }
        bool ok = false;
        EXPECT_EQ(PageBytes(page, page.editorText, &ok), c.file) << c.name;
        EXPECT_TRUE(ok) << c.name;
    }
    // A lone high surrogate at a piece's end, and one at the very end.
    QByteArray cut = "\xFF\xFE" + encoded("UTF-16LE", wide);
    cut[2 + 16 * 1024] = 'x';
    cut[3 + 16 * 1024] = '\0';
    EXPECT_FALSE(LoadPageText(cut).refusal.isEmpty());
    QByteArray end = "\xFF\xFE" + encoded("UTF-16LE", wide);
    end.chop(2);
    EXPECT_FALSE(LoadPageText(end).refusal.isEmpty());
}

TEST(PageText, BrokenUtf16IsRefusedAndUnwritableTextIsReported) {
    // Lone surrogate halves, alone, amid text and where a large page is cut
    // into pieces; a byte left over.
    const auto utf16 = [](const std::u16string& units, bool bigEndian) {
        QByteArray bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        for (const char16_t unit : units) {
            const char high = char(unit >> 8), low = char(unit & 0xFF);
            bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
        }
        return bytes;
    };
    const std::u16string a8191(8191, u'a'), high(1, 0xD800), low(1, 0xDC00);
    const std::u16string brokenTexts[] = {high,
                                          u"a" + low + u"b",
                                          high + u"a",
                                          a8191 + high + u"a",
                                          a8191 + u"a" + low,
                                          a8191 + high + high + low};
    const std::u16string pairAtTheCut = a8191 + high + low;
    for (const bool bigEndian : {false, true}) {
        for (const std::u16string& text : brokenTexts)
            EXPECT_FALSE(LoadPageText(utf16(text, bigEndian)).refusal.isEmpty()) << text.size();
        EXPECT_FALSE(LoadPageText(utf16(u"ab", bigEndian) + 'c').refusal.isEmpty());
        // Whole pairs on either side of the cut are fine.
        EXPECT_TRUE(LoadPageText(utf16(pairAtTheCut, bigEndian)).refusal.isEmpty());
    }

    const PageText sjis = LoadPageText("<meta charset=shift_jis>\n" +
                                       encoded("Shift_JIS", QStringLiteral("\u65e5\n")));
    ASSERT_EQ(sjis.mode, PageText::Encoded);
    bool ok = true;
    PageBytes(sjis, sjis.editorText + QStringLiteral("\u0e01").toUtf8(),
              &ok); // Thai: not in Shift_JIS
    EXPECT_FALSE(ok);

    // A page of single bytes takes code it cannot hold as character references.
    EXPECT_EQ(EditorTextOf(LoadPageText("\x80\n"), QStringLiteral("\u00e9\u65e5")), "\xe9&#26085;");
}

TEST(PageText, RandomBytesThroughTheEditorChangeOnlyTheirLineEnds) {
    QRandomGenerator random(20261207);
    const char alphabet[] = {'\n', '\r', '\0', 'a', '<', '\x80', '\xc3', '\xa9', '\xff', '\xe6'};
    CPageEditor editor;
    for (int round = 0; round < 300; ++round) {
        QByteArray file;
        const int length = random.bounded(0, 400);
        for (int i = 0; i < length; ++i)
            file.append(random.bounded(4) == 0 ? char(random.bounded(256))
                                               : alphabet[random.bounded(int(sizeof alphabet))]);
        if (random.bounded(3) == 0) file.append(QByteArray(random.bounded(2000, 6000), 'x'));
        const PageText page = LoadPageText(file);
        if (!page.refusal.isEmpty()) continue; // a UTF-16 mark that does not decode
        editor.SetPageBytes(page.editorText, page.mode != PageText::Bytes);
        bool ok = false;
        const QByteArray back = PageBytes(page, editor.PageBytes(), &ok);
        ASSERT_TRUE(ok);
        if (page.mode == PageText::Encoded) continue; // covered by the encodings above
        ASSERT_EQ(back, WithCrLfLineEnds(file)) << "round " << round;

        // An insertion at the start of a random line keeps the bytes before and after it.
        const QByteArray text = editor.PageBytes();
        const qsizetype at =
            text.isEmpty() ? 0 : text.indexOf('\n', random.bounded(int(text.size()))) + 1;
        PutPageCaret(editor, at);
        editor.ReplaceSelection(EditorTextOf(page, QStringLiteral("<!--x-->\r\n")));
        const QByteArray inserted = PageBytes(page, editor.PageBytes(), &ok);
        ASSERT_TRUE(inserted.startsWith(back.left(at))) << "round " << round;
        ASSERT_TRUE(inserted.endsWith(back.mid(at))) << "round " << round;
        ASSERT_EQ(inserted.size(), back.size() + 10);
    }
}

TEST(PageText, APageBoxModuleThatCannotBeLoadedIsReportedWithItsReason) {
    QTemporaryDir dir;
    const QString notALibrary = dir.filePath(QStringLiteral("page-box.so"));
    QFile file(notALibrary);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no ELF here");
    file.close();
    const QStringList modules = {dir.filePath(QStringLiteral("missing.so")), notALibrary,
                                 // a real library without the entry point
                                 QStringLiteral(TAVOLET_SERVER_LIBRARY),
                                 // a page box module of another version
                                 QStringLiteral(OLD_PAGE_EDITOR)};
    for (const QString& module : modules) {
        try {
            CPageEditor::LoadModule(module);
            ADD_FAILURE() << "loaded " << module.toStdString();
        } catch (const std::runtime_error& error) {
            const QString message = QString::fromUtf8(error.what());
            EXPECT_TRUE(message.startsWith(QStringLiteral("The page box cannot be shown: ")));
            EXPECT_TRUE(message.contains(QFileInfo(module).fileName())) << error.what();
        }
    }
    // The real module beside the program gives a working editor.
    CPageEditor editor;
    editor.SetPageBytes("<p>\r\n", true);
    PutPageCaret(editor, 3);
    editor.ReplaceSelection("x");
    EXPECT_EQ(editor.PageBytes(), "<p>x\r\n");
    editor.Undo();
    EXPECT_EQ(editor.PageBytes(), "<p>\r\n");
}
