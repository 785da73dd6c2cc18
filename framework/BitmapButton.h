#pragma once

#include <QPixmap>
#include <QPushButton>

namespace framework {

// A push button drawn from two bitmap resources, a normal and a pressed
// face. The faces carry their own caption; the button's text stays its
// accessible name. Keyboard focus shows as a focus rectangle over the face.
class CBitmapButton : public QPushButton {
    Q_OBJECT
public:
    explicit CBitmapButton(const QString& strText = {}, QWidget* pParent = nullptr);

    // False when the normal face is no bitmap resource; without a pressed
    // face the normal one shows while pressed.
    bool LoadBitmaps(int nNormalID, int nPressedID = 0);
    // Resizes the button to its normal face.
    void SizeToContent();

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    QPixmap m_bmpNormal;
    QPixmap m_bmpPressed;
};

} // namespace framework
