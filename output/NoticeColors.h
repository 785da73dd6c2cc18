#pragma once

#include <QColor>

// White notice texts on dark blue, in the code and insert dialogs.
inline const QColor kNoticeBackground(13, 47, 109);
inline const QColor kNoticeText(255, 255, 255);
