#include "output/PageEditor.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QVBoxLayout>

#include <stdexcept>

namespace {

PageEditorFactory factory() {
    // Loaded once and kept: its editors may live until the program ends.
    static const PageEditorFactory create = CPageEditor::LoadModule(
        QCoreApplication::applicationDirPath() + QStringLiteral("/" GLIMMERKEY_PAGE_EDITOR_MODULE));
    return create;
}

} // namespace

CPageEditor::CPageEditor(QWidget* pParent) : QWidget(pParent), m_pEditor(factory()(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins({});
    layout->addWidget(m_pEditor->Widget());
    setFocusProxy(m_pEditor->Widget());
}

PageEditorFactory CPageEditor::LoadModule(const QString& strModulePath) {
    const auto failure = [](const QString& reason) {
        return std::runtime_error(
            QStringLiteral("The page box cannot be shown: %1").arg(reason).toStdString());
    };
    QLibrary module(strModulePath);
    if (!module.load()) throw failure(module.errorString());
    const auto version =
        reinterpret_cast<PageEditorVersionFn>(module.resolve(GLIMMERKEY_PAGE_EDITOR_VERSION));
    const auto create =
        reinterpret_cast<PageEditorFactory>(module.resolve(GLIMMERKEY_PAGE_EDITOR_FACTORY));
    if (version && create && qstrcmp(version(), GLIMMERKEY_PAGE_EDITOR_CONTRACT) == 0)
        return create;
    const QString reason = version && create
                               ? QStringLiteral("%1 is a page box module of another version (%2)")
                                     .arg(strModulePath, QString::fromUtf8(version()))
                               : QStringLiteral("%1 is no page box module").arg(strModulePath);
    // Nothing of a library we refuse stays in the process.
    module.unload();
    throw failure(reason);
}

void CPageEditor::SetPageBytes(const QByteArray& bytes, bool bUtf8) {
    m_pEditor->SetPageBytes(bytes, bUtf8);
}

QByteArray CPageEditor::PageBytes() const {
    return m_pEditor->PageBytes();
}

void CPageEditor::ReplaceSelection(const QByteArray& bytes) {
    m_pEditor->ReplaceSelection(bytes);
}

void CPageEditor::Undo() {
    m_pEditor->Undo();
}

qint64 CPageEditor::CaretPosition() const {
    return m_pEditor->CaretPosition();
}

void CPageEditor::Select(qint64 from, qint64 to) {
    m_pEditor->Select(from, to);
}
