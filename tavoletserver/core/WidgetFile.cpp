#include "WidgetFile.h"

// Widget file layout, version 1: one UTF-8 JSON object.
//
//   format        "Glimmerkey widget" (anything else is a foreign file)
//   version       1 (files newer than this reader are refused)
//   ownerProgId, name, description, auxText      strings
//   saveTime      ISO 8601 date and time, or "" when never saved
//   identity      letters, digits and '-', at most 64; missing in templates
//                 and older files, and a malformed one reads as missing
//   button        object:
//     caption, tooltip                 strings
//     font        {family, size, weight}  a known family; px; 100..900
//     fill        "solid" | "gradient"
//     states      {normal, hover, pressed, focus}: {text, fill, fill2} "#rrggbb"
//     width, height, cornerRadius      px
//     border      {width, color}
//     glimmer     {enabled, color, speed 1..10, trigger "hover" | "always"}
//     icon        {path, position "left" | "right", size}
//     link        {url, target "" | "_self" | "_blank" | "_parent" | "_top"}
//     sounds      {hover, click}
//     dark        {scheme "same" | "automatic" | "custom",
//                  states {normal, hover, pressed, focus}: {text, fill, fill2},
//                  border}: colours for dark-scheme pages; only "custom"
//                  uses the colours
//     preview     {pageColor}: the page the preview and checks assume
//
// Media paths are absolute or relative to the file's folder; a relative one
// that leads out of that folder is dropped, as if the file named none. Every
// member may be missing and then takes its default, so older and hand-written
// files load. A member of the wrong type, a malformed colour, an unknown keyword,
// a link with a refused scheme or a media file of the wrong kind makes the
// whole file unreadable; numbers out of range are clamped, texts trimmed and
// cut to their limits, an unknown font family falls back to the default. A
// file without "dark" reads as "same", which adds no dark-scheme rules.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include "SafeFile.h"
#include "WebText.h"

#include <algorithm>
#include <array>
#include <cmath>

const char* const WidgetFile::FormatTag = "Glimmerkey widget";

namespace {

// Pulls typed members out of JSON objects; the first problem is remembered
// and makes every later read a no-op.
class Reader {
public:
    QString error;
    bool ok() const { return error.isEmpty(); }

    QJsonObject object(const QJsonObject& o, const char* key) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined()) return {};
        if (!v.isObject()) fail(key, "an object");
        return v.toObject();
    }
    void string(const QJsonObject& o, const char* key, QString& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined()) return;
        if (!v.isString()) return fail(key, "a string");
        out = v.toString();
    }
    void integer(const QJsonObject& o, const char* key, int& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined()) return;
        if (!v.isDouble() || !std::isfinite(v.toDouble())) return fail(key, "a number");
        // Clamped well inside int before rounding; normalize() applies the real bounds.
        out = static_cast<int>(std::lround(std::clamp(v.toDouble(), -1e6, 1e6)));
    }
    void boolean(const QJsonObject& o, const char* key, bool& out) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined()) return;
        if (!v.isBool()) return fail(key, "true or false");
        out = v.toBool();
    }
    void color(const QJsonObject& o, const char* key, QColor& out) {
        static const QRegularExpression rgb(QStringLiteral("^#[0-9a-fA-F]{6}$"));
        QString text;
        string(o, key, text);
        if (!ok() || text.isNull()) return;
        if (!rgb.match(text).hasMatch()) return fail(key, "a colour #rrggbb");
        out = QColor(text);
    }
    template <typename E>
    void keyword(const QJsonObject& o, const char* key, E& out,
                 std::initializer_list<std::pair<const char*, E>> words) {
        QString text;
        string(o, key, text);
        if (!ok() || text.isNull()) return;
        for (const auto& [word, value] : words)
            if (text == QLatin1String(word)) {
                out = value;
                return;
            }
        fail(key, "a known keyword");
    }
    void fail(const char* key, const char* expected) {
        if (ok())
            error = QStringLiteral("\"%1\" must be %2")
                        .arg(QLatin1String(key), QLatin1String(expected));
    }
};

QString resolve(const QString& path, const QString& baseDir) {
    if (path.isEmpty()) return {};
    return QDir::cleanPath(QDir(baseDir).absoluteFilePath(path));
}

// The "/"-ended folder that relative media paths start from.
QString folderPrefix(const QString& baseDir) {
    const QString base = QDir::cleanPath(QDir(baseDir).absolutePath());
    return base.endsWith(QLatin1Char('/')) ? base : base + QLatin1Char('/');
}

QString relativize(const QString& path, const QString& baseDir) {
    if (path.isEmpty() || baseDir.isEmpty()) return path;
    const QString prefix = folderPrefix(baseDir);
    return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

// A widget file is handed over with its folder: a relative path must not
// reach, through "..", the user's own files beside or above it.
bool climbsOut(const QString& given, const QString& resolved, const QString& baseDir) {
    return !given.isEmpty() && QDir::isRelativePath(given) &&
           !resolved.startsWith(folderPrefix(baseDir));
}

void readStates(Reader& r, const QJsonObject& states,
                std::array<StateColors, ButtonStateCount>& out) {
    for (int i = 0; i < ButtonStateCount; ++i) {
        const QString key = stateName(static_cast<ButtonState>(i));
        const QJsonObject st = r.object(states, key.toLatin1().constData());
        r.color(st, "text", out[i].text);
        r.color(st, "fill", out[i].fill);
        r.color(st, "fill2", out[i].fill2);
    }
}

QJsonObject writeStates(const std::array<StateColors, ButtonStateCount>& states) {
    QJsonObject out;
    for (int i = 0; i < ButtonStateCount; ++i)
        out.insert(stateName(static_cast<ButtonState>(i)),
                   QJsonObject{{"text", states[i].text.name()},
                               {"fill", states[i].fill.name()},
                               {"fill2", states[i].fill2.name()}});
    return out;
}

QString darkSchemeWord(DarkScheme scheme) {
    switch (scheme) {
    case DarkScheme::Same:
        break;
    case DarkScheme::Automatic:
        return QStringLiteral("automatic");
    case DarkScheme::Custom:
        return QStringLiteral("custom");
    }
    return QStringLiteral("same");
}

void readButton(Reader& r, const QJsonObject& b, const QString& baseDir, GlimmerSettings& s) {
    r.string(b, "caption", s.caption);
    r.string(b, "tooltip", s.tooltip);

    const QJsonObject font = r.object(b, "font");
    r.string(font, "family", s.fontFamily);
    r.integer(font, "size", s.fontSize);
    r.integer(font, "weight", s.fontWeight);

    r.keyword(b, "fill", s.fillStyle,
              {{"solid", FillStyle::Solid}, {"gradient", FillStyle::Gradient}});
    readStates(r, r.object(b, "states"), s.states);

    r.integer(b, "width", s.width);
    r.integer(b, "height", s.height);
    r.integer(b, "cornerRadius", s.cornerRadius);
    const QJsonObject border = r.object(b, "border");
    r.integer(border, "width", s.borderWidth);
    r.color(border, "color", s.borderColor);

    const QJsonObject glimmer = r.object(b, "glimmer");
    r.boolean(glimmer, "enabled", s.glimmerEnabled);
    r.color(glimmer, "color", s.glimmerColor);
    r.integer(glimmer, "speed", s.glimmerSpeed);
    r.keyword(glimmer, "trigger", s.glimmerTrigger,
              {{"always", GlimmerTrigger::Always}, {"hover", GlimmerTrigger::Hover}});

    const QJsonObject icon = r.object(b, "icon");
    r.string(icon, "path", s.iconPath);
    r.keyword(icon, "position", s.iconPosition,
              {{"left", IconPosition::Left}, {"right", IconPosition::Right}});
    r.integer(icon, "size", s.iconSize);

    const QJsonObject link = r.object(b, "link");
    r.string(link, "url", s.linkUrl);
    r.string(link, "target", s.linkTarget);

    const QJsonObject sounds = r.object(b, "sounds");
    r.string(sounds, "hover", s.hoverSoundPath);
    r.string(sounds, "click", s.clickSoundPath);

    const QJsonObject dark = r.object(b, "dark");
    r.keyword(dark, "scheme", s.darkScheme,
              {{"same", DarkScheme::Same},
               {"automatic", DarkScheme::Automatic},
               {"custom", DarkScheme::Custom}});
    readStates(r, r.object(dark, "states"), s.darkStates);
    r.color(dark, "border", s.darkBorderColor);
    r.color(r.object(b, "preview"), "pageColor", s.pageColor);
    if (!r.ok()) return;

    const std::array<QString, 3> given{s.iconPath, s.hoverSoundPath, s.clickSoundPath};
    s.iconPath = resolve(s.iconPath, baseDir);
    s.hoverSoundPath = resolve(s.hoverSoundPath, baseDir);
    s.clickSoundPath = resolve(s.clickSoundPath, baseDir);
    if (!s.iconPath.isEmpty() && !isAcceptedIconFile(s.iconPath))
        r.error = QStringLiteral("the icon is not an image file");
    else if ((!s.hoverSoundPath.isEmpty() && !isAcceptedSoundFile(s.hoverSoundPath)) ||
             (!s.clickSoundPath.isEmpty() && !isAcceptedSoundFile(s.clickSoundPath)))
        r.error = QStringLiteral("a sound is not an audio file");
    else if (const QString url = cleanText(s.linkUrl, Limits::UrlLength + 1);
             url.size() > Limits::UrlLength || (!url.isEmpty() && !WebText::isSafeLink(url)))
        r.error = QStringLiteral("the link address is refused or too long");
    else if (!isKnownLinkTarget(s.linkTarget))
        r.error = QStringLiteral("\"target\" must be a known keyword");

    // Dropped rather than refusing the file, so the rest of the widget still loads.
    const std::array<QString*, 3> media{&s.iconPath, &s.hoverSoundPath, &s.clickSoundPath};
    for (std::size_t i = 0; i < media.size(); ++i)
        if (climbsOut(given[i], *media[i], baseDir)) media[i]->clear();
}

} // namespace

std::optional<GlimmerWidget> WidgetFile::parse(const QByteArray& bytes, const QString& baseDir,
                                               QString* error) {
    auto refuse = [&](const QString& why) -> std::optional<GlimmerWidget> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (bytes.size() > MaxFileSize) return refuse(QStringLiteral("the file is too large"));

    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !doc.isObject())
        return refuse(QStringLiteral("not a widget file (%1)").arg(parseError.errorString()));
    const QJsonObject root = doc.object();
    if (root.value(QLatin1String("format")).toString() != QLatin1String(FormatTag))
        return refuse(QStringLiteral("not a widget file"));
    const QJsonValue version = root.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != std::floor(version.toDouble()) ||
        version.toDouble() < 1 || version.toDouble() > CurrentVersion)
        return refuse(QStringLiteral("unsupported widget file version"));

    Reader r;
    GlimmerWidget w;
    r.string(root, "ownerProgId", w.ownerProgId);
    r.string(root, "name", w.name);
    r.string(root, "description", w.description);
    r.string(root, "auxText", w.auxText);
    r.string(root, "identity", w.identity);
    QString saveTime;
    r.string(root, "saveTime", saveTime);
    if (r.ok() && !saveTime.isEmpty()) {
        w.saveTime = QDateTime::fromString(saveTime, Qt::ISODateWithMs);
        if (!w.saveTime.isValid()) r.fail("saveTime", "an ISO 8601 date and time");
    }
    readButton(r, r.object(root, "button"), baseDir, w.settings);
    if (!r.ok()) return refuse(r.error);

    const QSize stored(w.settings.width, w.settings.height);
    w.normalize();
    if (stored.width() < Limits::MinWidth || stored.height() < Limits::MinHeight)
        w.enlargedFrom = stored;
    return w;
}

QByteArray WidgetFile::serialize(const GlimmerWidget& w, const QString& baseDir) {
    const GlimmerSettings& s = w.settings;
    const QJsonObject button{
        {"caption", s.caption},
        {"tooltip", s.tooltip},
        {"font",
         QJsonObject{{"family", s.fontFamily}, {"size", s.fontSize}, {"weight", s.fontWeight}}},
        {"fill", s.fillStyle == FillStyle::Solid ? "solid" : "gradient"},
        {"states", writeStates(s.states)},
        {"width", s.width},
        {"height", s.height},
        {"cornerRadius", s.cornerRadius},
        {"border", QJsonObject{{"width", s.borderWidth}, {"color", s.borderColor.name()}}},
        {"glimmer",
         QJsonObject{{"enabled", s.glimmerEnabled},
                     {"color", s.glimmerColor.name()},
                     {"speed", s.glimmerSpeed},
                     {"trigger", s.glimmerTrigger == GlimmerTrigger::Always ? "always" : "hover"}}},
        {"icon", QJsonObject{{"path", relativize(s.iconPath, baseDir)},
                             {"position", s.iconPosition == IconPosition::Left ? "left" : "right"},
                             {"size", s.iconSize}}},
        {"link", QJsonObject{{"url", s.linkUrl}, {"target", s.linkTarget}}},
        {"sounds", QJsonObject{{"hover", relativize(s.hoverSoundPath, baseDir)},
                               {"click", relativize(s.clickSoundPath, baseDir)}}},
        {"dark", QJsonObject{{"scheme", darkSchemeWord(s.darkScheme)},
                             {"states", writeStates(s.darkStates)},
                             {"border", s.darkBorderColor.name()}}},
        {"preview", QJsonObject{{"pageColor", s.pageColor.name()}}},
    };
    QJsonObject root{
        {"format", QLatin1String(FormatTag)},
        {"version", CurrentVersion},
        {"ownerProgId", w.ownerProgId},
        {"name", w.name},
        {"description", w.description},
        {"auxText", w.auxText},
        {"saveTime",
         w.saveTime.isValid() ? w.saveTime.toUTC().toString(Qt::ISODateWithMs) : QString()},
        {"button", button},
    };
    // Left out while there is none, so templates stay free of one.
    if (!w.identity.isEmpty()) root.insert(QLatin1String("identity"), w.identity);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

std::optional<GlimmerWidget> WidgetFile::load(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return std::nullopt;
    }
    // Read one byte past the limit so that devices without a size are caught too.
    const QByteArray bytes = file.read(MaxFileSize + 1);
    if (bytes.size() > MaxFileSize) {
        if (error) *error = QStringLiteral("the file is too large");
        return std::nullopt;
    }
    return parse(bytes, QFileInfo(path).absolutePath(), error);
}

bool WidgetFile::save(const GlimmerWidget& widget, const QString& path, QString* error) {
    return SafeFile::write(path, serialize(widget, QFileInfo(path).absolutePath()), error);
}
