#include "ConfigureDialog.h"
#include "ButtonPreview.h"
#include "DarkColors.h"
#include "TestSettings.h"
#include "WidgetFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(ConfigureDialog, CancelChangesNothing) {
    GlimmerSettings settings;
    const GlimmerSettings before = settings;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<ConfigureDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        QTest::keyClicks(dialog->captionEdit(), QStringLiteral(" and more"));
        dialog->setStateColor(ButtonState::Hover, ConfigureDialog::ColorRole::Fill, Qt::red);
        dialog->reject();
    });
    EXPECT_FALSE(ConfigureDialog::configure(settings));
    EXPECT_EQ(settings, before);
}

TEST(ConfigureDialog, OkWithoutChangeReportsNoChange) {
    // Every control must give back exactly what it was shown, for any widget.
    QList<GlimmerSettings> cases = {GlimmerSettings{}, everySettingChanged()};
    const QDir templates(QStringLiteral(TAVOLET_TEMPLATE_DIR));
    for (const QString& file : templates.entryList({QStringLiteral("*.tvt")}))
        cases << WidgetFile::load(templates.filePath(file))->settings;
    for (GlimmerSettings settings : cases) {
        settings.normalize();
        const GlimmerSettings before = settings;
        QTimer::singleShot(
            0, [] { qobject_cast<QDialog*>(QApplication::activeModalWidget())->accept(); });
        EXPECT_FALSE(ConfigureDialog::configure(settings)) << before.caption.toStdString();
        EXPECT_EQ(settings, before);
    }
}

TEST(ConfigureDialog, AcceptedChangesAreKept) {
    GlimmerSettings settings;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<ConfigureDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        dialog->captionEdit()->setText(QStringLiteral("Order"));
        dialog->linkCheck()->setChecked(true);
        dialog->linkEdit()->setText(QStringLiteral("https://example.com/order"));
        dialog->targetCombo()->setCurrentIndex(
            dialog->targetCombo()->findData(QStringLiteral("_blank")));
        dialog->fontCombo()->setCurrentText(QStringLiteral("Georgia"));
        dialog->widthSpin()->setValue(222);
        dialog->glimmerCheck()->setChecked(false);
        dialog->glimmerSpeedSlider()->setValue(2);
        dialog->setBorderColor(QColor(0x11, 0x22, 0x33));
        dialog->accept();
    });
    ASSERT_TRUE(ConfigureDialog::configure(settings));
    EXPECT_EQ(settings.caption, QStringLiteral("Order"));
    EXPECT_EQ(settings.linkUrl, QStringLiteral("https://example.com/order"));
    EXPECT_EQ(settings.linkTarget, QStringLiteral("_blank"));
    EXPECT_EQ(settings.fontFamily, QStringLiteral("Georgia"));
    EXPECT_EQ(settings.width, 222);
    EXPECT_FALSE(settings.glimmerEnabled);
    EXPECT_EQ(settings.glimmerSpeed, 2);
    EXPECT_EQ(settings.borderColor, QColor(0x11, 0x22, 0x33));
}

TEST(ConfigureDialog, WarnsAboutLowContrastWithoutRefusing) {
    ConfigureDialog dialog(GlimmerSettings{});
    EXPECT_TRUE(dialog.contrastWarning().isEmpty());
    dialog.setStateColor(ButtonState::Pressed, ConfigureDialog::ColorRole::Text,
                         QColor(0x0b, 0x3b, 0x80));
    EXPECT_TRUE(dialog.contrastWarning().contains(QLatin1String("Pressed")));
    EXPECT_FALSE(dialog.contrastWarning().contains(QLatin1String("Hover")));
    // The second gradient stop counts only while the fill is a gradient.
    dialog.setStateColor(ButtonState::Pressed, ConfigureDialog::ColorRole::Text, Qt::white);
    dialog.setStateColor(ButtonState::Hover, ConfigureDialog::ColorRole::Fill2,
                         QColor(0xee, 0xee, 0xee));
    EXPECT_TRUE(dialog.contrastWarning().contains(QLatin1String("Hover")));
    dialog.fillCombo()->setCurrentIndex(0);
    EXPECT_TRUE(dialog.contrastWarning().isEmpty());
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ConfigureDialog, RefusedLinkIsShownAndLeavesAPlainButton) {
    ConfigureDialog dialog(GlimmerSettings{});
    dialog.linkCheck()->setChecked(true);
    EXPECT_FALSE(dialog.linkWarning().isEmpty());
    dialog.linkEdit()->setText(QStringLiteral("javascript:alert(1)"));
    EXPECT_TRUE(dialog.linkWarning().contains(QLatin1String("refused")));
    EXPECT_TRUE(dialog.edited().linkUrl.isEmpty());
    dialog.linkEdit()->setText(QStringLiteral("#top"));
    EXPECT_TRUE(dialog.linkWarning().isEmpty());
    EXPECT_EQ(dialog.edited().linkUrl, QStringLiteral("#top"));
}

TEST(ConfigureDialog, MediaPickersAcceptOnlyTheirKind) {
    ConfigureDialog dialog(GlimmerSettings{});
    dialog.setIconPath(QStringLiteral("/pics/go.png"));
    dialog.setHoverSoundPath(QStringLiteral("/pics/go.png"));
    dialog.setClickSoundPath(QStringLiteral("/snd/click.ogg"));
    EXPECT_EQ(dialog.edited().iconPath, QStringLiteral("/pics/go.png"));
    EXPECT_TRUE(dialog.edited().hoverSoundPath.isEmpty());
    EXPECT_EQ(dialog.edited().clickSoundPath, QStringLiteral("/snd/click.ogg"));
    EXPECT_TRUE(dialog.iconSizeSpin()->isEnabled());
    EXPECT_TRUE(dialog.isChanged());
}

TEST(ConfigureDialog, PreviewPaintsEachStateInItsOwnColours) {
    GlimmerSettings s;
    s.fillStyle = FillStyle::Solid;
    s.borderWidth = 0;
    s.caption.clear();
    s.state(ButtonState::Normal).fill = QColor(255, 0, 0);
    s.state(ButtonState::Hover).fill = QColor(0, 255, 0);
    s.state(ButtonState::Pressed).fill = QColor(0, 0, 255);
    ConfigureDialog dialog(s);
    ButtonPreview* preview = dialog.preview();
    const QPoint middle(6 + s.width / 2, 6 + s.height / 2);
    EXPECT_EQ(preview->renderState(ButtonState::Normal).pixelColor(middle), QColor(255, 0, 0));
    EXPECT_EQ(preview->renderState(ButtonState::Hover).pixelColor(middle), QColor(0, 255, 0));
    EXPECT_EQ(preview->renderState(ButtonState::Pressed).pixelColor(middle), QColor(0, 0, 255));
    // The focus state carries a ring outside the button.
    const QImage focus = preview->renderState(ButtonState::Focus);
    EXPECT_EQ(focus.pixelColor(6 + s.width / 2, 3).alpha(), 255);
    EXPECT_EQ(preview->renderState(ButtonState::Normal).pixelColor(6 + s.width / 2, 3).alpha(), 0);
    // The glimmer band lightens the hover state mid-sweep.
    const QImage swept = preview->renderState(ButtonState::Hover, 0.5);
    EXPECT_GT(swept.pixelColor(middle).red(), 0);
}

TEST(ConfigureDialog, DarkSchemeChoiceAndCustomColoursAreKept) {
    GlimmerSettings settings;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<ConfigureDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        const ButtonState hover = ButtonState::Hover;
        const auto text = ConfigureDialog::ColorRole::Text;
        // Custom colours wait until Custom is chosen.
        EXPECT_FALSE(dialog->darkColorButton(hover, text)->isEnabled());
        QComboBox* scheme = dialog->darkSchemeCombo();
        scheme->setCurrentIndex(scheme->findData(static_cast<int>(DarkScheme::Custom)));
        EXPECT_TRUE(dialog->darkColorButton(hover, text)->isEnabled());
        // They start from the automatic colours, so Custom begins readable.
        const SchemeColors derived = DarkColors::derive(dialog->edited());
        EXPECT_EQ(dialog->edited().darkStates, derived.states);
        EXPECT_TRUE(dialog->contrastWarning().isEmpty()) << dialog->contrastWarning().toStdString();
        dialog->setDarkStateColor(hover, text, dialog->edited().darkStates[1].fill);
        EXPECT_TRUE(dialog->contrastWarning().contains(QLatin1String("dark pages")));
        dialog->setDarkStateColor(hover, text, QColor(0x10, 0x10, 0x10));
        dialog->accept();
    });
    ASSERT_TRUE(ConfigureDialog::configure(settings));
    EXPECT_EQ(settings.darkScheme, DarkScheme::Custom);
    EXPECT_EQ(settings.darkStates[1].text, QColor(0x10, 0x10, 0x10));
}

TEST(ConfigureDialog, WarnsWhenTheEdgeVanishesIntoThePage) {
    GlimmerSettings s;
    s.fillStyle = FillStyle::Solid;
    s.borderWidth = 0;
    ConfigureDialog dialog(s);
    EXPECT_TRUE(dialog.contrastWarning().isEmpty());
    // The page takes the button's own fill: nothing marks its edge any more.
    dialog.setPageColor(s.state(ButtonState::Normal).fill);
    EXPECT_TRUE(dialog.contrastWarning().contains(QLatin1String("edge")));
    EXPECT_TRUE(dialog.contrastWarning().contains(QLatin1String("Normal 1.0:1")));
    // A border that stands out from the page cures it.
    dialog.borderWidthSpin()->setValue(2);
    dialog.setBorderColor(Qt::white);
    EXPECT_TRUE(dialog.contrastWarning().isEmpty()) << dialog.contrastWarning().toStdString();
    // The preview shows the dark row on the dark page, in the dark colours.
    GlimmerSettings dark = dialog.edited();
    dark.darkScheme = DarkScheme::Automatic;
    dialog.preview()->setSettings(dark);
    const QPoint middle(6 + 10, 6 + dark.height / 2);
    EXPECT_EQ(dialog.preview()
                  ->renderState(ButtonState::Normal, -1, ButtonPreview::Scheme::Dark)
                  .pixelColor(middle),
              DarkColors::derive(dark).states[0].fill);
}

TEST(ConfigureDialog, SaysWhenAnOldSizeWasEnlarged) {
    GlimmerSettings s;
    s.width = 90;
    s.height = 20;
    EXPECT_TRUE(ConfigureDialog(s).sizeNote().isEmpty());
    s.normalize();
    const ConfigureDialog dialog(s, nullptr, QSize(90, 20));
    EXPECT_TRUE(dialog.sizeNote().contains(QLatin1String("90 x 20")));
    EXPECT_TRUE(dialog.sizeNote().contains(QLatin1String("90 x 24")));
    EXPECT_EQ(dialog.heightSpin()->minimum(), 24);
}
