#include "AppFixture.h"

#include "app/AboutDlg.h"
#include "browsers/WebBrowserDlg.h"
#include "framework/View.h"
#include "output/HtmlCodeDlg.h"
#include "output/InsertIntoPageDlg.h"
#include "output/InsertNoticeDlg.h"
#include "supportfiles/SupportFilesDlg.h"
#include "templates/ManageTemplatesDlg.h"
#include "templates/NewWidgetDlg.h"
#include "templates/RenameWidgetDlg.h"
#include "templates/SaveTemplateDlg.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <memory>

namespace {

// What of `control`'s text does not fit its rectangle at its font; empty
// when all of it shows.
QString clipping(QWidget* control) {
    const QRect box = control->geometry();
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->text().isEmpty() || !label->isVisibleTo(label->window())) return {};
        const QSize need =
            label->wordWrap() ? QSize(0, label->heightForWidth(box.width())) : label->sizeHint();
        if (need.width() <= box.width() && need.height() <= box.height()) return {};
        return QStringLiteral("label \"%1\" needs %2x%3 in %4x%5")
            .arg(label->text())
            .arg(need.width())
            .arg(need.height())
            .arg(box.width())
            .arg(box.height());
    }
    if (auto* check = qobject_cast<QCheckBox*>(control)) {
        const QSize need = check->sizeHint();
        if (need.width() <= box.width() && need.height() <= box.height()) return {};
        return QStringLiteral("check box \"%1\" needs %2x%3 in %4x%5")
            .arg(check->text())
            .arg(need.width())
            .arg(need.height())
            .arg(box.width())
            .arg(box.height());
    }
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        // Picture buttons carry their caption on the face.
        if (button->inherits("framework::CBitmapButton")) return {};
        const int need = button->fontMetrics().horizontalAdvance(button->text()) + 6;
        if (need <= box.width() && button->fontMetrics().height() + 2 <= box.height()) return {};
        return QStringLiteral("button \"%1\" needs %2 in %3")
            .arg(button->text())
            .arg(need)
            .arg(box.width());
    }
    return {};
}

QStringList clippedIn(QWidget& window) {
    QStringList found;
    for (QWidget* control : window.findChildren<QWidget*>())
        if (const QString why = clipping(control); !why.isEmpty())
            found << window.windowTitle() + ": " + why;
    return found;
}

} // namespace

using Layout = AppFixture;

// Every text of every dialog and of the form shows whole at the dialog font.
TEST_F(Layout, NoDialogOrFormClipsItsTexts) {
    fake.writeWidgetFile(fake.serverFolder() + "/Last_TavoletServer.Glimmerkey.tvt",
                         "TavoletServer.Glimmerkey", "Zebra", "the last of many");
    for (const char* name : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"})
        fake.writeWidgetFile(fake.serverFolder() + "/" + name + "_TavoletServer.Glimmerkey.tvt",
                             "TavoletServer.Glimmerkey", name, "one of many");

    std::vector<std::unique_ptr<framework::CDialog>> dialogs;
    dialogs.push_back(std::make_unique<CAboutDlg>());
    dialogs.push_back(std::make_unique<CWebBrowserDlg>());
    dialogs.push_back(std::make_unique<CManageTemplatesDlg>());
    auto fresh = std::make_unique<CNewWidgetDlg>();
    fresh->m_pTavolet = doc()->m_pTavolet.get();
    dialogs.push_back(std::move(fresh));
    auto save = std::make_unique<CSaveTemplateDlg>();
    save->m_strName = "Normal";
    dialogs.push_back(std::move(save));
    dialogs.push_back(std::make_unique<CRenameWidgetDlg>());
    auto support = std::make_unique<CSupportFilesDlg>();
    support->m_pTavolet = doc()->m_pTavolet.get();
    dialogs.push_back(std::move(support));
    dialogs.push_back(std::make_unique<CHtmlCodeDlg>());
    dialogs.push_back(std::make_unique<CInsertNoticeDlg>());
    auto insert = std::make_unique<CInsertIntoPageDlg>();
    insert->m_pTavolet = doc()->m_pTavolet.get();
    insert->m_strPagePath = files.filePath("page.htm");
    dialogs.push_back(std::move(insert));

    QStringList clipped;
    for (auto& dialog : dialogs) {
        dialog->show(); // runs its initialisation, which fills texts such as paths
        clipped << clippedIn(*dialog);
        dialog->reject();
    }
    frame()->show();
    clipped << clippedIn(*frame()->GetActiveView());
    EXPECT_TRUE(clipped.isEmpty()) << clipped.join('\n').toStdString();
}

TEST_F(Layout, TheNewDialogShowsItsLastTemplateWhole) {
    for (const char* name : {"Alpha", "Beta", "Gamma", "Delta", "Epsilon", "Zeta"})
        fake.writeWidgetFile(fake.serverFolder() + "/" + name + "_TavoletServer.Glimmerkey.tvt",
                             "TavoletServer.Glimmerkey", name, "one of many");
    CNewWidgetDlg dialog;
    dialog.m_pTavolet = doc()->m_pTavolet.get();
    dialog.show();
    QListWidget* list = dialog.m_lbTemplates;
    ASSERT_EQ(list->count(), 6);
    // Rows a list shows whole: no row is ever cut in half at the bottom.
    const int rowHeight = list->visualItemRect(list->item(0)).height();
    const int viewport = list->viewport()->height();
    EXPECT_EQ(viewport % rowHeight, 0)
        << "viewport " << viewport << " is not a whole number of rows of " << rowHeight;
    dialog.reject();
}
