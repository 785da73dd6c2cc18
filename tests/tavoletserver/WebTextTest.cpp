#include "WebText.h"

#include <gtest/gtest.h>

TEST(WebText, HtmlEscapesMarkupAndLeavesOnlyAscii) {
    EXPECT_EQ(WebText::html(QStringLiteral("\"><script>alert('x')</script>&")),
              QStringLiteral("&quot;&gt;&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;"));
    EXPECT_EQ(WebText::html(QStringLiteral("\u00e9\U0001F600")), QStringLiteral("&#xe9;&#x1f600;"));
    // Control characters are not allowed in HTML text at all; lone surrogates become U+FFFD.
    EXPECT_EQ(WebText::html(QStringLiteral("a\x01"
                                           "b")),
              QStringLiteral("ab"));
    EXPECT_EQ(WebText::html(QString(QChar(0xd800))), QStringLiteral("&#xfffd;"));
}

TEST(WebText, OnlyWebAndMailLinksAreSafe) {
    for (const char* ok : {"https://example.com/", "HTTP://x", "mailto:a@b.c", "#top", "page.htm",
                           "../up/page.htm", "/root", "?q=1", "//cdn.example.com/x", "a b.htm",
                           "page.htm?x=javascript:1", "#javascript:1"})
        EXPECT_TRUE(WebText::isSafeLink(QString::fromLatin1(ok))) << ok;
    for (const char* bad :
         {"", "javascript:alert(1)", "JavaScript:alert(1)", "java\tscript:alert(1)",
          "java\nscript:x", "vbscript:x", "data:text/html,<b>", "file:///etc/passwd",
          " javascript:x", "\\javascript:x", "ftp://x", "x:y", "https://a\x7f"})
        EXPECT_FALSE(WebText::isSafeLink(QString::fromLatin1(bad))) << bad;
}

TEST(WebText, UrlAttributeCannotLeaveItsQuotes) {
    const QString out = WebText::urlAttribute(QStringLiteral("a b\"c'<d>&e=\u00e9"));
    EXPECT_EQ(out, QStringLiteral("a%20b%22c%27%3cd%3e&amp;e=%c3%a9"));
}

TEST(WebText, JsStringCannotCloseTheScript) {
    const QString out = WebText::jsString(QStringLiteral("</script><!--\"\\\n\u2028\u00e9"));
    EXPECT_EQ(out, QStringLiteral("\"\\u003c/script\\u003e\\u003c!--\\\"\\\\\\n\\u2028\\u00e9\""));
    EXPECT_FALSE(out.contains(QLatin1String("</")));
}
