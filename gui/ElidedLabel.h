#pragma once

#include <QLabel>

namespace trelk {

// A one-line label for texts of any length (status messages): what does not fit ends in an
// ellipsis, and the whole text is the tooltip. text() is always the whole text.
class ElidedLabel final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // Texts walked for clipping skip widgets with this property: they shorten on purpose.
    static constexpr const char* ElidesProperty = "elidesText";

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace trelk
