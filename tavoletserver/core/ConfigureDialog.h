#pragma once
#include "GlimmerSettings.h"

#include <QDialog>

#include <array>

class ButtonPreview;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;

// The modal configuration dialog. It edits a copy of the settings; the caller
// takes the copy only when the dialog is accepted and something changed.
// Controls are reachable from outside so that tests can drive the dialog
// without a screen; colour and file pickers have setters for the same reason.
class ConfigureDialog : public QDialog {
    Q_OBJECT
public:
    enum class ColorRole { Text, Fill, Fill2 };

    // `enlargedFrom`: the size the widget's file asked for, when loading
    // enlarged it to today's smallest button; the dialog says so.
    explicit ConfigureDialog(const GlimmerSettings& settings, QWidget* parent = nullptr,
                             const QSize& enlargedFrom = {});

    // Shows the dialog modally; on OK with a change, stores it in `settings`
    // and returns true.
    static bool configure(GlimmerSettings& settings, QWidget* parent = nullptr,
                          const QSize& enlargedFrom = {});

    const GlimmerSettings& original() const { return m_original; }
    const GlimmerSettings& edited() const { return m_edited; }
    bool isChanged() const { return m_edited != m_original; }

    void setStateColor(ButtonState state, ColorRole role, const QColor& color);
    void setBorderColor(const QColor& color);
    void setDarkStateColor(ButtonState state, ColorRole role, const QColor& color);
    void setDarkBorderColor(const QColor& color);
    void setPageColor(const QColor& color);
    void setGlimmerColor(const QColor& color);
    void setIconPath(const QString& path);
    void setHoverSoundPath(const QString& path);
    void setClickSoundPath(const QString& path);

    // The low-contrast note; empty while every state reads well and stands
    // out from the page in both schemes.
    QString contrastWarning() const;
    // The note about a size enlarged on load; empty when there was none.
    QString sizeNote() const;
    // The note about a refused link address; empty while there is none.
    QString linkWarning() const;

    QLineEdit* captionEdit() const { return m_caption; }
    QCheckBox* linkCheck() const { return m_linkCheck; }
    QLineEdit* linkEdit() const { return m_link; }
    QComboBox* targetCombo() const { return m_target; }
    QComboBox* fontCombo() const { return m_font; }
    QComboBox* fillCombo() const { return m_fill; }
    QPushButton* colorButton(ButtonState state, ColorRole role) const;
    QComboBox* darkSchemeCombo() const { return m_darkScheme; }
    QPushButton* darkColorButton(ButtonState state, ColorRole role) const;
    QSpinBox* widthSpin() const { return m_width; }
    QSpinBox* heightSpin() const { return m_height; }
    QSpinBox* borderWidthSpin() const { return m_borderWidth; }
    QCheckBox* glimmerCheck() const { return m_glimmer; }
    QSlider* glimmerSpeedSlider() const { return m_glimmerSpeed; }
    QSpinBox* iconSizeSpin() const { return m_iconSize; }
    ButtonPreview* preview() const { return m_preview; }

private:
    QWidget* createTextPage();
    QWidget* createColorPage();
    QWidget* createShapePage();
    QWidget* createMediaPage();
    QWidget* createDarkPage();
    QPushButton* createColorButton(const QString& accessibleName);
    QWidget* createFileRow(QLineEdit*& edit, void (ConfigureDialog::*browse)(),
                           void (ConfigureDialog::*clear)());
    void loadControls();
    void readControls();
    void refresh();
    void pickStateColor(ButtonState state, ColorRole role);
    void pickDarkStateColor(ButtonState state, ColorRole role);
    void onDarkSchemeChosen();
    QString contrastProblems() const;
    void pickColor(QColor& target, const QString& title);
    void browseIcon();
    void browseHoverSound();
    void browseClickSound();
    void clearIcon() { setIconPath({}); }
    void clearHoverSound() { setHoverSoundPath({}); }
    void clearClickSound() { setClickSoundPath({}); }
    QString pickFile(const QString& title, const QString& filter);

    GlimmerSettings m_original;
    GlimmerSettings m_edited;
    bool m_loading = false;

    QLineEdit* m_caption = nullptr;
    QLineEdit* m_tooltip = nullptr;
    QCheckBox* m_linkCheck = nullptr;
    QLineEdit* m_link = nullptr;
    QComboBox* m_target = nullptr;
    QComboBox* m_font = nullptr;
    QSpinBox* m_fontSize = nullptr;
    QComboBox* m_fontWeight = nullptr;
    QComboBox* m_fill = nullptr;
    std::array<std::array<QPushButton*, 3>, ButtonStateCount> m_colorButtons{};
    QPushButton* m_pageColor = nullptr;
    QComboBox* m_darkScheme = nullptr;
    std::array<std::array<QPushButton*, 3>, ButtonStateCount> m_darkButtons{};
    QPushButton* m_darkBorder = nullptr;
    QSpinBox* m_width = nullptr;
    QSpinBox* m_height = nullptr;
    QSpinBox* m_radius = nullptr;
    QSpinBox* m_borderWidth = nullptr;
    QPushButton* m_borderColor = nullptr;
    QCheckBox* m_glimmer = nullptr;
    QPushButton* m_glimmerColor = nullptr;
    QSlider* m_glimmerSpeed = nullptr;
    QComboBox* m_glimmerTrigger = nullptr;
    QLineEdit* m_iconPath = nullptr;
    QComboBox* m_iconPosition = nullptr;
    QSpinBox* m_iconSize = nullptr;
    QLineEdit* m_hoverSound = nullptr;
    QLineEdit* m_clickSound = nullptr;
    ButtonPreview* m_preview = nullptr;
    QLabel* m_contrastNote = nullptr;
    QLabel* m_linkNote = nullptr;
    QLabel* m_sizeNote = nullptr;
};
