#include "CodeGenerator.h"

#include "DarkColors.h"
#include "FontCatalog.h"
#include "GlimmerWidget.h"
#include "SupportFiles.h"
#include "WebText.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// Adds a widget's style sheet unless the page carries it already: the whole
// script of a cursor without sounds.
#define GK_ADD_CSS                                                                                 \
    "function(k,c){if(!d.querySelector('style[data-glimmerkey=\"'+k+'\"]')){"                      \
    "var s=d.createElement(\"style\");s.setAttribute(\"data-glimmerkey\",k);s.textContent=c;"      \
    "(d.head||d.documentElement).appendChild(s)}}"

// A cursor without sounds defines only this much of the runtime, and only
// when no runtime is there yet.
const char kStyleRuntime[] =
    "window.Glimmerkey=window.Glimmerkey||function(d){return{css:" GK_ADD_CSS "}}(document);";

// The shared runtime. It defines itself once per page (replacing the style-only
// one above), adds style sheets, and plays sounds only after the visitor has
// pressed a key or pointer, as browsers expect. A hover sound needs a pointer
// that hovers: a tap on a touch screen must not play it. A link with a click sound waits
// a moment before leaving the page so that the sound is heard; modified clicks
// and other targets go as usual.
const char kRuntime[] =
    "window.Glimmerkey=(window.Glimmerkey||{}).wire?window.Glimmerkey:function(d){"
    "var u=0,n=function(){},o=function(){u=1};"
    "d.addEventListener(\"pointerdown\",o,!0);d.addEventListener(\"keydown\",o,!0);"
    "function p(s){if(u&&s)try{var a=new Audio(s).play();a&&a.catch&&a.catch(n)}catch(e){}}"
    "return{css:" GK_ADD_CSS ","
    "wire:function(b,h,c){if(!b)return;h&&b.addEventListener(\"pointerenter\",function(e){"
    "e.pointerType!=\"touch\"&&matchMedia(\"(hover:hover)\").matches&&p(h)});"
    "c&&b.addEventListener(\"click\",function(e){p(c);var t=b.getAttribute(\"target\");"
    "if(b.href&&!e.defaultPrevented&&!e.button&&!(e.ctrlKey||e.metaKey||e.shiftKey||e.altKey)"
    "&&(!t||t==\"_self\")){e.preventDefault();setTimeout(function(){location.href=b.href},250)}})}}"
    "}(document);";

#undef GK_ADD_CSS

// The widget's class, doubled to outweigh page rules.
QString selector(const QString& key) {
    return QStringLiteral(".gk-%1.gk-%1").arg(key);
}

// #rrggbb, or #rgb where that says the same.
QString hex(const QColor& c) {
    QString full = c.name();
    if (full[1] == full[2] && full[3] == full[4] && full[5] == full[6])
        return QLatin1Char('#') + full[1] + full[3] + full[5];
    return full;
}

QString px(int v) {
    return QString::number(v) + QLatin1String("px");
}

QString background(const GlimmerSettings& s, const StateColors& c) {
    const QString paint =
        s.fillStyle == FillStyle::Solid
            ? hex(c.fill)
            : QStringLiteral("linear-gradient(%1,%2)").arg(hex(c.fill), hex(c.fill2));
    return paint + QLatin1String(" border-box");
}

QString colours(const GlimmerSettings& s, const StateColors& c) {
    return QStringLiteral("color:%1;background:%2").arg(hex(c.text), background(s, c));
}

// The state rules after the base rule, in the order that lets focus outweigh
// hover and a press outweigh both. Hover looks apply only where a pointer
// hovers, so a tap on a touch screen leaves none behind.
QString stateRules(const GlimmerSettings& s, const QString& sel, const SchemeColors& c,
                   const QString& focusExtra, const QString& hoverExtra = {}) {
    return QLatin1String("@media (hover:hover){") + sel + QLatin1String(":hover{") +
           colours(s, c.state(ButtonState::Hover)) + QLatin1Char('}') + hoverExtra +
           QLatin1Char('}') + sel + QLatin1String(":focus-visible{") +
           colours(s, c.state(ButtonState::Focus)) + focusExtra + QLatin1Char('}') + sel +
           QLatin1String(":active{") + colours(s, c.state(ButtonState::Pressed)) + QLatin1Char('}');
}

// Windows' high-contrast themes and the like: system colours only, an edge
// even where the design has no border, a ring that needs no box-shadow (it
// is dropped there), icons outlined so that a light icon on a light
// ButtonFace stays visible, and no glimmer.
QString forcedColourRules(const GlimmerSettings& s, const QString& sel) {
    QString css = QLatin1String("@media (forced-colors:active){") + sel +
                  QStringLiteral("{color:ButtonText;background:ButtonFace;border:%1 solid "
                                 "ButtonText}@media (hover:hover){")
                      .arg(px(std::max(1, s.borderWidth))) +
                  sel + QLatin1String(":hover{border-color:Highlight}}") + sel +
                  QLatin1String(":focus-visible{outline:2px solid CanvasText}");
    if (!s.iconPath.isEmpty())
        css += sel + QLatin1String(" img{filter:drop-shadow(1px 0 ButtonText) drop-shadow(-1px 0 "
                                   "ButtonText) drop-shadow(0 1px ButtonText) drop-shadow(0 -1px "
                                   "ButtonText)}");
    if (s.glimmerEnabled) css += sel + QLatin1String("::after{display:none}");
    return css + QLatin1Char('}');
}

QString iconMarkup(const GlimmerSettings& s, const QList<SupportFile>& files) {
    if (s.iconPath.isEmpty() || files.isEmpty()) return {};
    // The caption names the control, so the picture is decoration.
    return QStringLiteral("<img src=\"%1\" alt=\"\" width=\"%2\" height=\"%2\">")
        .arg(WebText::urlAttribute(files.front().webPath))
        .arg(s.iconSize);
}

QString soundUrl(const QString& path, const QList<SupportFile>& files) {
    const QFileInfo info(path);
    for (const SupportFile& f : files)
        if (!path.isEmpty() && f.name == info.fileName() &&
            f.sourceFolder == info.absolutePath() + QLatin1Char('/'))
            return WebText::encodeUrl(f.webPath);
    return {};
}

} // namespace

namespace CodeGenerator {

QString widgetKey(const GlimmerSettings& s) {
    // The first part keeps the shape of the text the key was first taken
    // from, so that widgets published since keep their class and folder
    // names; settings added later join only when they differ from their
    // defaults. Media count by file name only, so moving the sources keeps the key.
    const auto name = [](const QString& path) { return QFileInfo(path).fileName(); };
    QJsonObject states;
    for (int i = 0; i < ButtonStateCount; ++i)
        states.insert(stateName(static_cast<ButtonState>(i)),
                      QJsonObject{{"text", s.states[i].text.name()},
                                  {"fill", s.states[i].fill.name()},
                                  {"fill2", s.states[i].fill2.name()}});
    const QJsonObject button{
        {"caption", s.caption},
        {"tooltip", s.tooltip},
        {"font",
         QJsonObject{{"family", s.fontFamily}, {"size", s.fontSize}, {"weight", s.fontWeight}}},
        {"fill", s.fillStyle == FillStyle::Solid ? "solid" : "gradient"},
        {"states", states},
        {"width", s.width},
        {"height", s.height},
        {"cornerRadius", s.cornerRadius},
        {"border", QJsonObject{{"width", s.borderWidth}, {"color", s.borderColor.name()}}},
        {"glimmer",
         QJsonObject{{"enabled", s.glimmerEnabled},
                     {"color", s.glimmerColor.name()},
                     {"speed", s.glimmerSpeed},
                     {"trigger", s.glimmerTrigger == GlimmerTrigger::Always ? "always" : "hover"}}},
        {"icon", QJsonObject{{"path", name(s.iconPath)},
                             {"position", s.iconPosition == IconPosition::Left ? "left" : "right"},
                             {"size", s.iconSize}}},
        {"link", QJsonObject{{"url", s.linkUrl}, {"target", s.linkTarget}}},
        {"sounds",
         QJsonObject{{"hover", name(s.hoverSoundPath)}, {"click", name(s.clickSoundPath)}}},
    };
    const QJsonObject root{
        {"format", "Glimmerkey widget"},
        {"version", 1},
        {"ownerProgId", "TavoletServer.Glimmerkey"},
        {"name", "Normal"},
        {"description", ""},
        {"auxText", ""},
        {"saveTime", ""},
        {"button", button},
    };
    QByteArray text = QJsonDocument(root).toJson(QJsonDocument::Indented);
    if (s.darkScheme != DarkScheme::Same) {
        // The colours served, whether derived or the user's own.
        const SchemeColors dark = DarkColors::dark(s);
        text += "dark";
        for (const StateColors& c : dark.states)
            text += ' ' + (c.text.name() + c.fill.name() + c.fill2.name()).toLatin1();
        text += ' ' + dark.border.name().toLatin1();
    }
    const QByteArray digest = QCryptographicHash::hash(text, QCryptographicHash::Sha1);
    return QString::fromLatin1(digest.left(4).toHex());
}

QString accessibleName(const GlimmerSettings& s) {
    if (!s.caption.isEmpty()) return s.caption;
    if (!s.tooltip.isEmpty()) return s.tooltip;
    return QStringLiteral("Button");
}

QString styleSheet(const GlimmerSettings& s) {
    const QString key = widgetKey(s);
    const QString sel = selector(key);
    QString css;
    // "all:unset" drops whatever the page sets on links, buttons, spans and
    // images; inherited properties are then set again so that none comes in
    // from the element the widget sits in.
    css +=
        sel +
        QStringLiteral("{all:unset;position:relative;display:inline-flex;align-items:center;"
                       "justify-content:center;gap:.4em;box-sizing:border-box;width:%1;height:%2;"
                       "padding:0 .6em;overflow:hidden;vertical-align:middle;border:%3 solid %4;"
                       "border-radius:%5;font:normal %6 %7/1.2 %8;letter-spacing:normal;"
                       "word-spacing:normal;text-align:center;text-indent:0;text-transform:none;"
                       "text-shadow:none;white-space:nowrap;cursor:pointer;%9}")
            .arg(px(s.width), px(s.height), px(s.borderWidth), hex(s.borderColor),
                 px(s.cornerRadius), QString::number(s.fontWeight), px(s.fontSize),
                 FontCatalog::cssStack(s.fontFamily), colours(s, s.state(ButtonState::Normal)));
    // The glimmer of a hover trigger starts with the hover look, where there is hover.
    const QString animation = QStringLiteral("::after{animation:gk-%1 %2ms ease-in-out infinite}")
                                  .arg(key)
                                  .arg(s.glimmerPeriodMs());
    const bool onHover = s.glimmerEnabled && s.glimmerTrigger == GlimmerTrigger::Hover;
    // A white ring inside a black one stays visible on any page colour.
    css += stateRules(s, sel, DarkColors::light(s),
                      QStringLiteral(";outline:2px solid #000;outline-offset:2px;box-shadow:0 0 0 "
                                     "2px #fff"),
                      onHover ? sel + QLatin1String(":hover") + animation : QString());
    // Descendant selectors: the button holds only these, and ">" costs more
    // once escaped in the cursor's script.
    css += sel + QLatin1String(
                     " span{all:unset;position:relative;z-index:1;overflow:hidden;text-overflow:"
                     "ellipsis}");
    css += sel + QStringLiteral(" img{all:unset;position:relative;z-index:1;display:block;flex:"
                                "none;width:%1;height:%1}")
                     .arg(px(s.iconSize));
    if (s.glimmerEnabled) {
        // Eight-digit colours: the band fades from clear to 60% and back.
        const QString clear = s.glimmerColor.name() + QLatin1String("00");
        const QString bright = s.glimmerColor.name() + QLatin1String("99");
        // The band runs behind the caption (z-index above) so text stays legible.
        css += sel + QStringLiteral("::after{content:\"\";position:absolute;top:0;left:0;width:40%;"
                                    "height:100%;background:linear-gradient(100deg,%1,%2,%1);"
                                    "transform:translateX(-150%);pointer-events:none}")
                         .arg(clear, bright);
        css += QStringLiteral("@keyframes gk-%1{to{transform:translateX(350%)}}").arg(key);
        css += sel + (onHover ? QLatin1String(":focus-visible") : QLatin1String()) + animation;
    }
    if (s.darkScheme != DarkScheme::Same) {
        const SchemeColors dark = DarkColors::dark(s);
        css +=
            QLatin1String("@media (prefers-color-scheme:dark){") + sel + QLatin1Char('{') +
            colours(s, dark.state(ButtonState::Normal)) +
            (s.borderWidth > 0 ? QLatin1String(";border-color:") + hex(dark.border) : QString()) +
            QLatin1Char('}') + stateRules(s, sel, dark, {}) + QLatin1Char('}');
    }
    // No motion at all, whatever a later rule or the page would start; the
    // resting band lies outside the button.
    css += QLatin1String("@media (prefers-reduced-motion:reduce){") + sel + QLatin1Char(',') + sel +
           QLatin1String(" *,") + sel +
           QLatin1String("::after{animation:none!important;transition:none!important}}") +
           forcedColourRules(s, sel);
    return css;
}

QString style(const GlimmerSettings& s) {
    return QStringLiteral("<style data-glimmerkey=\"%1\">%2</style>")
        .arg(widgetKey(s), styleSheet(s));
}

QString script() {
    return QLatin1String("<script>") + QLatin1String(kRuntime) + QLatin1String("</script>");
}

QString cursor(const GlimmerSettings& s, const QString& identity) {
    const QString key = widgetKey(s);
    const QList<SupportFile> files = SupportFiles::list(s);
    const bool isLink = !s.linkUrl.isEmpty() && WebText::isSafeLink(s.linkUrl);

    QString open;
    if (isLink) {
        open = QStringLiteral("<a class=\"gk-%1\" href=\"%2\"")
                   .arg(key, WebText::urlAttribute(s.linkUrl));
        if (!s.linkTarget.isEmpty()) open += QStringLiteral(" target=\"%1\"").arg(s.linkTarget);
        if (s.linkTarget == QLatin1String("_blank")) open += QLatin1String(" rel=\"noopener\"");
    } else {
        open = QStringLiteral("<button type=\"button\" class=\"gk-%1\"").arg(key);
    }
    if (!s.tooltip.isEmpty()) open += QStringLiteral(" title=\"%1\"").arg(WebText::html(s.tooltip));
    if (s.caption.isEmpty())
        open += QStringLiteral(" aria-label=\"%1\"").arg(WebText::html(accessibleName(s)));
    if (dispatch::IsWidgetIdentity(identity))
        open += QStringLiteral(" %1=\"%2\"")
                    .arg(QLatin1String(dispatch::TAVOLET_WIDGET_ATTRIBUTE), identity);
    open += QLatin1Char('>');

    const QString icon = iconMarkup(s, files);
    const QString caption =
        s.caption.isEmpty()
            ? QString()
            : QLatin1String("<span>") + WebText::html(s.caption) + QLatin1String("</span>");
    QString markup = open;
    markup += s.iconPosition == IconPosition::Left ? icon + caption : caption + icon;
    markup += isLink ? QLatin1String("</a>") : QLatin1String("</button>");

    // The full runtime only where there are sounds to wire; otherwise adding
    // the style sheet is all the cursor's script does.
    const QString hover = soundUrl(s.hoverSoundPath, files),
                  click = soundUrl(s.clickSoundPath, files);
    const bool sounds = !hover.isEmpty() || !click.isEmpty();
    QString js = QLatin1String(sounds ? kRuntime : kStyleRuntime);
    // The script's copy of the style sheet writes "$" for the widget's
    // selector and expands it, which keeps the cursor well within its weight.
    const QString sheet = styleSheet(s);
    const QString sel = selector(key);
    if (sheet.contains(QLatin1Char('$')))
        js += QStringLiteral("Glimmerkey.css(%1,%2);")
                  .arg(WebText::jsString(key), WebText::jsString(sheet));
    else
        js += QStringLiteral("Glimmerkey.css(%1,%2.split(\"$\").join(%3));")
                  .arg(WebText::jsString(key),
                       WebText::jsString(QString(sheet).replace(sel, QLatin1String("$"))),
                       WebText::jsString(sel));
    if (sounds) {
        js += QStringLiteral("Glimmerkey.wire(document.currentScript&&document.currentScript."
                             "previousElementSibling,%1,%2);")
                  .arg(WebText::jsString(hover), WebText::jsString(click));
    }
    // One line: pasted into a page of any line-end style it adds none of its own.
    return markup + QLatin1String("<script>") + js + QLatin1String("</script>");
}

QList<CodePart> parts(const GlimmerSettings& s, const QString& identity) {
    return {{QStringLiteral("cursor"), cursor(s, identity)},
            {QStringLiteral("style"), style(s)},
            {QStringLiteral("script"), script()}};
}

} // namespace CodeGenerator
