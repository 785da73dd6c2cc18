#include "ConfigureDialog.h"

#include "ButtonPreview.h"
#include "Contrast.h"
#include "DarkColors.h"
#include "FontCatalog.h"
#include "WebText.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const char* const kStateLabels[] = {"Normal", "Hover", "Pressed", "Focus"};
const char* const kRoleLabels[] = {"Text", "Fill", "Fill 2"};

QColor& colorOf(StateColors& c, ConfigureDialog::ColorRole role) {
    switch (role) {
    case ConfigureDialog::ColorRole::Text:
        return c.text;
    case ConfigureDialog::ColorRole::Fill:
        return c.fill;
    case ConfigureDialog::ColorRole::Fill2:
        break;
    }
    return c.fill2;
}

void showColor(QPushButton* button, const QColor& color) {
    QPixmap swatch(28, 14);
    swatch.fill(color);
    button->setIcon(QIcon(swatch));
    button->setText(color.name());
}

QSpinBox* spin(int min, int max, const QString& suffix = QStringLiteral(" px")) {
    auto* box = new QSpinBox;
    box->setRange(min, max);
    box->setSuffix(suffix);
    return box;
}

void selectData(QComboBox* combo, const QVariant& value) {
    const int index = combo->findData(value);
    combo->setCurrentIndex(index < 0 ? 0 : index);
}

} // namespace

ConfigureDialog::ConfigureDialog(const GlimmerSettings& settings, QWidget* parent,
                                 const QSize& enlargedFrom)
    : QDialog(parent), m_original(settings) {
    m_original.normalize();
    m_edited = m_original;
    setWindowTitle(tr("Configure Glimmerkey"));

    m_preview = new ButtonPreview;
    m_contrastNote = new QLabel;
    m_contrastNote->setWordWrap(true);
    m_contrastNote->setStyleSheet(QStringLiteral("color:#8a4b00"));
    m_contrastNote->hide();
    m_sizeNote = new QLabel;
    m_sizeNote->setWordWrap(true);
    m_sizeNote->setStyleSheet(QStringLiteral("color:#8a4b00"));
    if (enlargedFrom.isValid())
        m_sizeNote->setText(
            tr("This widget was saved at %1 x %2 px. Buttons are now at least %3 x %4 px, so "
               "that a finger or pointer can hit them; it is shown at %5 x %6 px and saved so.")
                .arg(enlargedFrom.width())
                .arg(enlargedFrom.height())
                .arg(Limits::MinPointerTarget)
                .arg(Limits::MinPointerTarget)
                .arg(m_original.width)
                .arg(m_original.height));
    else
        m_sizeNote->hide();

    auto* tabs = new QTabWidget;
    tabs->addTab(createTextPage(), tr("&Text and link"));
    tabs->addTab(createColorPage(), tr("&Colours"));
    tabs->addTab(createShapePage(), tr("&Shape and glimmer"));
    tabs->addTab(createMediaPage(), tr("&Icon and sounds"));
    tabs->addTab(createDarkPage(), tr("&Dark pages"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_preview);
    layout->addWidget(m_contrastNote);
    layout->addWidget(m_sizeNote);
    layout->addWidget(tabs);
    layout->addWidget(buttons);

    loadControls();
    refresh();
}

bool ConfigureDialog::configure(GlimmerSettings& settings, QWidget* parent,
                                const QSize& enlargedFrom) {
    ConfigureDialog dialog(settings, parent, enlargedFrom);
    if (dialog.exec() != QDialog::Accepted || !dialog.isChanged()) return false;
    settings = dialog.edited();
    return true;
}

QWidget* ConfigureDialog::createTextPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    m_caption = new QLineEdit;
    m_caption->setObjectName(QStringLiteral("caption"));
    m_caption->setMaxLength(Limits::CaptionLength);
    form->addRow(tr("Ca&ption:"), m_caption);

    m_font = new QComboBox;
    m_font->addItems(FontCatalog::families());
    form->addRow(tr("&Font:"), m_font);
    m_fontSize = spin(Limits::MinFontSize, Limits::MaxFontSize);
    form->addRow(tr("Font si&ze:"), m_fontSize);
    m_fontWeight = new QComboBox;
    const char* const weights[] = {"Thin",      "Extra light", "Light",      "Normal", "Medium",
                                   "Semi-bold", "Bold",        "Extra bold", "Black"};
    for (int i = 0; i < 9; ++i)
        m_fontWeight->addItem(QStringLiteral("%1 (%2)").arg(tr(weights[i])).arg((i + 1) * 100),
                              (i + 1) * 100);
    form->addRow(tr("Font &weight:"), m_fontWeight);

    m_tooltip = new QLineEdit;
    m_tooltip->setMaxLength(Limits::TooltipLength);
    form->addRow(tr("T&ooltip:"), m_tooltip);

    m_linkCheck = new QCheckBox(tr("&Link to an address (otherwise a plain button)"));
    form->addRow(m_linkCheck);
    m_link = new QLineEdit;
    m_link->setMaxLength(Limits::UrlLength);
    m_link->setPlaceholderText(QStringLiteral("https://example.com/"));
    form->addRow(tr("&Address:"), m_link);
    m_target = new QComboBox;
    m_target->addItem(tr("Same window"), QString());
    m_target->addItem(tr("This frame (_self)"), QStringLiteral("_self"));
    m_target->addItem(tr("New window or tab"), QStringLiteral("_blank"));
    m_target->addItem(tr("Parent frame"), QStringLiteral("_parent"));
    m_target->addItem(tr("Top frame"), QStringLiteral("_top"));
    form->addRow(tr("Open &in:"), m_target);
    m_linkNote = new QLabel;
    m_linkNote->setWordWrap(true);
    m_linkNote->setStyleSheet(QStringLiteral("color:#8a4b00"));
    m_linkNote->hide();
    form->addRow(m_linkNote);

    for (QLineEdit* edit : {m_caption, m_tooltip, m_link})
        connect(edit, &QLineEdit::textChanged, this, &ConfigureDialog::refresh);
    for (QComboBox* combo : {m_font, m_fontWeight, m_target})
        connect(combo, &QComboBox::currentIndexChanged, this, &ConfigureDialog::refresh);
    connect(m_fontSize, &QSpinBox::valueChanged, this, &ConfigureDialog::refresh);
    connect(m_linkCheck, &QCheckBox::toggled, this, &ConfigureDialog::refresh);
    return page;
}

QPushButton* ConfigureDialog::createColorButton(const QString& accessibleName) {
    auto* button = new QPushButton;
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    return button;
}

QWidget* ConfigureDialog::createColorPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    m_fill = new QComboBox;
    m_fill->addItem(tr("Solid fill"));
    m_fill->addItem(tr("Two-colour gradient (Fill to Fill 2, top to bottom)"));
    grid->addWidget(new QLabel(tr("Fill:")), 0, 0);
    grid->addWidget(m_fill, 0, 1, 1, 3);
    for (int r = 0; r < 3; ++r)
        grid->addWidget(new QLabel(tr(kRoleLabels[r])), 1, r + 1);
    for (int s = 0; s < ButtonStateCount; ++s) {
        grid->addWidget(new QLabel(tr(kStateLabels[s])), s + 2, 0);
        for (int r = 0; r < 3; ++r) {
            auto* button =
                createColorButton(tr("%1 %2 colour").arg(tr(kStateLabels[s]), tr(kRoleLabels[r])));
            const auto state = static_cast<ButtonState>(s);
            const auto role = static_cast<ColorRole>(r);
            connect(button, &QPushButton::clicked, this,
                    [this, state, role] { pickStateColor(state, role); });
            m_colorButtons[s][r] = button;
            grid->addWidget(button, s + 2, r + 1);
        }
    }
    m_pageColor = createColorButton(tr("Page background colour"));
    m_pageColor->setToolTip(tr("The page the preview shows the button on, and the contrast "
                               "checks measure its edge against"));
    connect(m_pageColor, &QPushButton::clicked, this,
            [this] { pickColor(m_edited.pageColor, tr("Page background colour")); });
    grid->addWidget(new QLabel(tr("Page (preview):")), ButtonStateCount + 2, 0);
    grid->addWidget(m_pageColor, ButtonStateCount + 2, 1);
    grid->setRowStretch(ButtonStateCount + 3, 1);
    connect(m_fill, &QComboBox::currentIndexChanged, this, &ConfigureDialog::refresh);
    return page;
}

QWidget* ConfigureDialog::createDarkPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    m_darkScheme = new QComboBox;
    m_darkScheme->addItem(tr("Same colours"), static_cast<int>(DarkScheme::Same));
    m_darkScheme->addItem(tr("Automatic"), static_cast<int>(DarkScheme::Automatic));
    m_darkScheme->addItem(tr("Custom"), static_cast<int>(DarkScheme::Custom));
    m_darkScheme->setAccessibleName(tr("Colours on dark pages"));
    grid->addWidget(new QLabel(tr("On &dark pages:")), 0, 0);
    grid->addWidget(m_darkScheme, 0, 1, 1, 3);
    auto* note = new QLabel(
        tr("Visitors who ask for a dark colour scheme get these colours. Automatic mirrors the "
           "lightness of your colours and keeps every state readable and its edge visible; "
           "Custom uses the colours below."));
    note->setWordWrap(true);
    grid->addWidget(note, 1, 0, 1, 4);
    for (int r = 0; r < 3; ++r)
        grid->addWidget(new QLabel(tr(kRoleLabels[r])), 2, r + 1);
    for (int s = 0; s < ButtonStateCount; ++s) {
        grid->addWidget(new QLabel(tr(kStateLabels[s])), s + 3, 0);
        for (int r = 0; r < 3; ++r) {
            auto* button = createColorButton(
                tr("Dark %1 %2 colour").arg(tr(kStateLabels[s]), tr(kRoleLabels[r])));
            const auto state = static_cast<ButtonState>(s);
            const auto role = static_cast<ColorRole>(r);
            connect(button, &QPushButton::clicked, this,
                    [this, state, role] { pickDarkStateColor(state, role); });
            m_darkButtons[s][r] = button;
            grid->addWidget(button, s + 3, r + 1);
        }
    }
    m_darkBorder = createColorButton(tr("Dark border colour"));
    connect(m_darkBorder, &QPushButton::clicked, this,
            [this] { pickColor(m_edited.darkBorderColor, tr("Dark border colour")); });
    grid->addWidget(new QLabel(tr("Border:")), ButtonStateCount + 3, 0);
    grid->addWidget(m_darkBorder, ButtonStateCount + 3, 1);
    grid->setRowStretch(ButtonStateCount + 4, 1);
    connect(m_darkScheme, &QComboBox::currentIndexChanged, this,
            &ConfigureDialog::onDarkSchemeChosen);
    return page;
}

void ConfigureDialog::onDarkSchemeChosen() {
    if (m_loading) return;
    const auto chosen = static_cast<DarkScheme>(m_darkScheme->currentData().toInt());
    // Custom colours never set start from the automatic ones rather than
    // from unrelated defaults.
    const GlimmerSettings defaults;
    if (chosen == DarkScheme::Custom && m_edited.darkStates == defaults.darkStates &&
        m_edited.darkBorderColor == defaults.darkBorderColor) {
        const SchemeColors derived = DarkColors::derive(m_edited);
        m_edited.darkStates = derived.states;
        m_edited.darkBorderColor = derived.border;
    }
    refresh();
}

QWidget* ConfigureDialog::createShapePage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    m_width = spin(Limits::MinWidth, Limits::MaxWidth);
    m_height = spin(Limits::MinHeight, Limits::MaxHeight);
    m_radius = spin(0, Limits::MaxCornerRadius);
    m_borderWidth = spin(0, Limits::MaxBorderWidth);
    m_borderColor = createColorButton(tr("Border colour"));
    connect(m_borderColor, &QPushButton::clicked, this,
            [this] { pickColor(m_edited.borderColor, tr("Border colour")); });
    form->addRow(tr("&Width:"), m_width);
    form->addRow(tr("&Height:"), m_height);
    form->addRow(tr("Corner &radius:"), m_radius);
    form->addRow(tr("&Border width:"), m_borderWidth);
    form->addRow(tr("Border &colour:"), m_borderColor);

    m_glimmer = new QCheckBox(tr("&Glimmer: a band of light sweeps across the button"));
    form->addRow(m_glimmer);
    m_glimmerColor = createColorButton(tr("Glimmer colour"));
    connect(m_glimmerColor, &QPushButton::clicked, this,
            [this] { pickColor(m_edited.glimmerColor, tr("Glimmer colour")); });
    form->addRow(tr("Glimmer c&olour:"), m_glimmerColor);
    m_glimmerSpeed = new QSlider(Qt::Horizontal);
    m_glimmerSpeed->setRange(Limits::MinGlimmerSpeed, Limits::MaxGlimmerSpeed);
    m_glimmerSpeed->setAccessibleName(tr("Glimmer speed"));
    form->addRow(tr("Glimmer &speed:"), m_glimmerSpeed);
    m_glimmerTrigger = new QComboBox;
    m_glimmerTrigger->addItem(tr("On hover and keyboard focus"));
    m_glimmerTrigger->addItem(tr("Always"));
    form->addRow(tr("Glimmer &when:"), m_glimmerTrigger);

    for (QSpinBox* box : {m_width, m_height, m_radius, m_borderWidth})
        connect(box, &QSpinBox::valueChanged, this, &ConfigureDialog::refresh);
    connect(m_glimmer, &QCheckBox::toggled, this, &ConfigureDialog::refresh);
    connect(m_glimmerSpeed, &QSlider::valueChanged, this, &ConfigureDialog::refresh);
    connect(m_glimmerTrigger, &QComboBox::currentIndexChanged, this, &ConfigureDialog::refresh);
    return page;
}

QWidget* ConfigureDialog::createFileRow(QLineEdit*& edit, void (ConfigureDialog::*browse)(),
                                        void (ConfigureDialog::*clear)()) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    edit = new QLineEdit;
    edit->setReadOnly(true);
    auto* browseButton = new QPushButton(tr("Browse..."));
    auto* clearButton = new QPushButton(tr("Remove"));
    connect(browseButton, &QPushButton::clicked, this, browse);
    connect(clearButton, &QPushButton::clicked, this, clear);
    layout->addWidget(edit, 1);
    layout->addWidget(browseButton);
    layout->addWidget(clearButton);
    return row;
}

QWidget* ConfigureDialog::createMediaPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->addRow(tr("I&con image:"), createFileRow(m_iconPath, &ConfigureDialog::browseIcon,
                                                   &ConfigureDialog::clearIcon));
    m_iconPosition = new QComboBox;
    m_iconPosition->addItem(tr("Left of the caption"));
    m_iconPosition->addItem(tr("Right of the caption"));
    form->addRow(tr("Icon &position:"), m_iconPosition);
    m_iconSize = spin(Limits::MinIconSize, Limits::MaxIconSize);
    form->addRow(tr("Icon si&ze:"), m_iconSize);
    form->addRow(tr("&Hover sound:"),
                 createFileRow(m_hoverSound, &ConfigureDialog::browseHoverSound,
                               &ConfigureDialog::clearHoverSound));
    form->addRow(tr("Cl&ick sound:"),
                 createFileRow(m_clickSound, &ConfigureDialog::browseClickSound,
                               &ConfigureDialog::clearClickSound));
    auto* note =
        new QLabel(tr("Images and sounds are support files: they must lie beside the page, "
                      "at the paths the code names. Sounds play only after the visitor has "
                      "clicked or pressed a key on the page."));
    note->setWordWrap(true);
    form->addRow(note);
    connect(m_iconPosition, &QComboBox::currentIndexChanged, this, &ConfigureDialog::refresh);
    connect(m_iconSize, &QSpinBox::valueChanged, this, &ConfigureDialog::refresh);
    return page;
}

void ConfigureDialog::loadControls() {
    const GlimmerSettings& s = m_edited;
    m_loading = true;
    m_caption->setText(s.caption);
    m_tooltip->setText(s.tooltip);
    m_linkCheck->setChecked(!s.linkUrl.isEmpty());
    m_link->setText(s.linkUrl);
    selectData(m_target, s.linkTarget);
    m_font->setCurrentText(s.fontFamily);
    m_fontSize->setValue(s.fontSize);
    selectData(m_fontWeight, s.fontWeight);
    m_fill->setCurrentIndex(s.fillStyle == FillStyle::Solid ? 0 : 1);
    selectData(m_darkScheme, static_cast<int>(s.darkScheme));
    m_width->setValue(s.width);
    m_height->setValue(s.height);
    m_radius->setValue(s.cornerRadius);
    m_borderWidth->setValue(s.borderWidth);
    m_glimmer->setChecked(s.glimmerEnabled);
    m_glimmerSpeed->setValue(s.glimmerSpeed);
    m_glimmerTrigger->setCurrentIndex(s.glimmerTrigger == GlimmerTrigger::Hover ? 0 : 1);
    m_iconPath->setText(s.iconPath);
    m_iconPosition->setCurrentIndex(s.iconPosition == IconPosition::Left ? 0 : 1);
    m_iconSize->setValue(s.iconSize);
    m_hoverSound->setText(s.hoverSoundPath);
    m_clickSound->setText(s.clickSoundPath);
    m_loading = false;
}

void ConfigureDialog::readControls() {
    GlimmerSettings& s = m_edited;
    s.caption = m_caption->text();
    s.tooltip = m_tooltip->text();
    s.linkUrl = m_linkCheck->isChecked() ? m_link->text() : QString();
    s.linkTarget = m_target->currentData().toString();
    s.fontFamily = m_font->currentText();
    s.fontSize = m_fontSize->value();
    s.fontWeight = m_fontWeight->currentData().toInt();
    s.fillStyle = m_fill->currentIndex() == 0 ? FillStyle::Solid : FillStyle::Gradient;
    s.darkScheme = static_cast<DarkScheme>(m_darkScheme->currentData().toInt());
    s.width = m_width->value();
    s.height = m_height->value();
    s.cornerRadius = m_radius->value();
    s.borderWidth = m_borderWidth->value();
    s.glimmerEnabled = m_glimmer->isChecked();
    s.glimmerSpeed = m_glimmerSpeed->value();
    s.glimmerTrigger =
        m_glimmerTrigger->currentIndex() == 0 ? GlimmerTrigger::Hover : GlimmerTrigger::Always;
    s.iconPosition = m_iconPosition->currentIndex() == 0 ? IconPosition::Left : IconPosition::Right;
    s.iconSize = m_iconSize->value();
    s.normalize();
}

void ConfigureDialog::refresh() {
    if (m_loading) return;
    readControls();
    const GlimmerSettings& s = m_edited;

    for (int st = 0; st < ButtonStateCount; ++st)
        for (int r = 0; r < 3; ++r) {
            StateColors& colors = m_edited.states[st];
            showColor(m_colorButtons[st][r], colorOf(colors, static_cast<ColorRole>(r)));
            m_colorButtons[st][r]->setEnabled(r != 2 || s.fillStyle == FillStyle::Gradient);
        }
    for (int st = 0; st < ButtonStateCount; ++st)
        for (int r = 0; r < 3; ++r) {
            showColor(m_darkButtons[st][r],
                      colorOf(m_edited.darkStates[st], static_cast<ColorRole>(r)));
            m_darkButtons[st][r]->setEnabled(s.darkScheme == DarkScheme::Custom &&
                                             (r != 2 || s.fillStyle == FillStyle::Gradient));
        }
    showColor(m_darkBorder, s.darkBorderColor);
    m_darkBorder->setEnabled(s.darkScheme == DarkScheme::Custom && s.borderWidth > 0);
    showColor(m_pageColor, s.pageColor);
    showColor(m_borderColor, s.borderColor);
    showColor(m_glimmerColor, s.glimmerColor);
    m_link->setEnabled(m_linkCheck->isChecked());
    m_target->setEnabled(m_linkCheck->isChecked());
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_glimmerColor, m_glimmerSpeed, m_glimmerTrigger})
        w->setEnabled(s.glimmerEnabled);
    m_iconPosition->setEnabled(!s.iconPath.isEmpty());
    m_iconSize->setEnabled(!s.iconPath.isEmpty());

    QString linkProblem;
    const QString typed = m_link->text().trimmed();
    if (m_linkCheck->isChecked() && typed.isEmpty())
        linkProblem = tr("Enter an address; without one the widget is a plain button.");
    else if (m_linkCheck->isChecked() && s.linkUrl.isEmpty())
        linkProblem = tr(
            "This address is refused: only http, https and mailto addresses, relative "
            "paths and #fragments are allowed. Until it is changed the widget is a plain button.");
    m_linkNote->setText(linkProblem);
    m_linkNote->setVisible(!linkProblem.isEmpty());

    const QString problems = contrastProblems();
    m_contrastNote->setText(problems);
    m_contrastNote->setVisible(!problems.isEmpty());
    m_preview->setSettings(s);
}

QString ConfigureDialog::contrastProblems() const {
    const GlimmerSettings& s = m_edited;
    auto list = [this](const QList<Contrast::Issue>& issues) {
        QStringList out;
        for (const Contrast::Issue& issue : issues)
            out << tr("%1 %2:1")
                       .arg(tr(kStateLabels[static_cast<int>(issue.state)]))
                       .arg(issue.ratio, 0, 'f', 1);
        return out.join(QLatin1String(", "));
    };
    QStringList notes;
    if (const QString low = list(Contrast::issues(s)); !low.isEmpty())
        notes << tr("Low contrast between text and fill: %1. Visitors may not be able to read "
                    "the caption; aim for at least 4.5:1 in every state.")
                     .arg(low);
    if (const QString low = list(Contrast::edgeIssues(DarkColors::light(s), s, s.pageColor));
        !low.isEmpty())
        notes << tr("The button's edge hardly stands out from the page (%1): %2. Aim for at "
                    "least 3:1 with the border or the fill.")
                     .arg(s.pageColor.name(), low);
    if (s.darkScheme != DarkScheme::Same) {
        const SchemeColors dark = DarkColors::dark(s);
        if (const QString low = list(Contrast::textIssues(dark, s.fillStyle)); !low.isEmpty())
            notes << tr("On dark pages the text is hard to read: %1.").arg(low);
        if (const QString low = list(Contrast::edgeIssues(dark, s, DarkColors::DarkPage));
            !low.isEmpty())
            notes << tr("On dark pages the button's edge hardly stands out: %1.").arg(low);
    }
    return notes.join(QLatin1Char(' '));
}

QPushButton* ConfigureDialog::darkColorButton(ButtonState state, ColorRole role) const {
    return m_darkButtons[static_cast<int>(state)][static_cast<int>(role)];
}

void ConfigureDialog::setDarkStateColor(ButtonState state, ColorRole role, const QColor& color) {
    if (!color.isValid()) return;
    colorOf(m_edited.darkStates[static_cast<int>(state)], role) = color;
    refresh();
}

void ConfigureDialog::setDarkBorderColor(const QColor& color) {
    if (!color.isValid()) return;
    m_edited.darkBorderColor = color;
    refresh();
}

void ConfigureDialog::setPageColor(const QColor& color) {
    if (!color.isValid()) return;
    m_edited.pageColor = color;
    refresh();
}

void ConfigureDialog::pickDarkStateColor(ButtonState state, ColorRole role) {
    const QColor current = colorOf(m_edited.darkStates[static_cast<int>(state)], role);
    setDarkStateColor(
        state, role,
        QColorDialog::getColor(current, this, darkColorButton(state, role)->accessibleName()));
}

QString ConfigureDialog::sizeNote() const {
    return m_sizeNote->isHidden() ? QString() : m_sizeNote->text();
}

QPushButton* ConfigureDialog::colorButton(ButtonState state, ColorRole role) const {
    return m_colorButtons[static_cast<int>(state)][static_cast<int>(role)];
}

void ConfigureDialog::setStateColor(ButtonState state, ColorRole role, const QColor& color) {
    if (!color.isValid()) return;
    colorOf(m_edited.state(state), role) = color;
    refresh();
}

void ConfigureDialog::setBorderColor(const QColor& color) {
    if (!color.isValid()) return;
    m_edited.borderColor = color;
    refresh();
}

void ConfigureDialog::setGlimmerColor(const QColor& color) {
    if (!color.isValid()) return;
    m_edited.glimmerColor = color;
    refresh();
}

void ConfigureDialog::setIconPath(const QString& path) {
    m_edited.iconPath = path;
    refresh();
    m_iconPath->setText(m_edited.iconPath);
}

void ConfigureDialog::setHoverSoundPath(const QString& path) {
    m_edited.hoverSoundPath = path;
    refresh();
    m_hoverSound->setText(m_edited.hoverSoundPath);
}

void ConfigureDialog::setClickSoundPath(const QString& path) {
    m_edited.clickSoundPath = path;
    refresh();
    m_clickSound->setText(m_edited.clickSoundPath);
}

QString ConfigureDialog::contrastWarning() const {
    return m_contrastNote->isHidden() ? QString() : m_contrastNote->text();
}

QString ConfigureDialog::linkWarning() const {
    return m_linkNote->isHidden() ? QString() : m_linkNote->text();
}

void ConfigureDialog::pickStateColor(ButtonState state, ColorRole role) {
    const QColor current = colorOf(m_edited.state(state), role);
    setStateColor(
        state, role,
        QColorDialog::getColor(current, this, colorButton(state, role)->accessibleName()));
}

void ConfigureDialog::pickColor(QColor& target, const QString& title) {
    const QColor chosen = QColorDialog::getColor(target, this, title);
    if (!chosen.isValid()) return;
    target = chosen;
    refresh();
}

QString ConfigureDialog::pickFile(const QString& title, const QString& filter) {
    return QFileDialog::getOpenFileName(this, title, QString(), filter);
}

void ConfigureDialog::browseIcon() {
    const QString path =
        pickFile(tr("Choose an icon"), tr("Images (*.png *.jpg *.jpeg *.gif *.svg *.webp)"));
    if (!path.isEmpty()) setIconPath(path);
}

void ConfigureDialog::browseHoverSound() {
    const QString path =
        pickFile(tr("Choose a hover sound"), tr("Sounds (*.mp3 *.wav *.ogg *.oga *.m4a)"));
    if (!path.isEmpty()) setHoverSoundPath(path);
}

void ConfigureDialog::browseClickSound() {
    const QString path =
        pickFile(tr("Choose a click sound"), tr("Sounds (*.mp3 *.wav *.ogg *.oga *.m4a)"));
    if (!path.isEmpty()) setClickSoundPath(path);
}
