#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace tavora::controls {

// Dialog units of one font: x is a quarter of the average character width, y an
// eighth of the character height, so a template keeps its proportions whatever the
// font. Conversions round like the classic MulDiv.
class DialogUnits {
public:
    // The font that dialog templates name as "Tahoma" 8: the platform's default UI font.
    static QFont DialogFont();
    // Base units of the dialog font.
    static DialogUnits ForDialogFont();

    explicit DialogUnits(const QFont& font);
    DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

    int BaseX() const { return baseX_; }
    int BaseY() const { return baseY_; }

    int ToPixelsX(int dialogUnits) const;
    int ToPixelsY(int dialogUnits) const;
    QSize ToPixels(int cx, int cy) const;
    QRect ToPixels(int x, int y, int cx, int cy) const;

private:
    int baseX_ = 0;
    int baseY_ = 0;
};

} // namespace tavora::controls
