#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace trelk {

class CheckOption;
class ConsoleAppearance;

// The "Console" tab: the preview of the console picture, its font, background and colours,
// position, opacity, opening speed and display options. A view of ConsoleAppearance; spin
// values go straight into the "Console" settings, check boxes are views of their options.
class ConsoleTab final : public QWidget {
public:
    ConsoleTab(ConsoleAppearance& appearance, CheckOption& debug, std::string appDir,
               QWidget* parent = nullptr);

    // Values, colours and enabled states from the appearance.
    void refresh();
    void showPreview(const QImage& picture);

    // Modal dialogs; a test answers them instead. Empty: cancelled.
    std::function<std::optional<QFont>(const QFont& current)> runFontDialog;
    std::function<std::optional<QColor>(const QColor& current)> runColorDialog;
    std::function<QString(const QString& folder, const QString& current)> runFileDialog;

    QLabel* Image1 = nullptr; // the console picture after every redraw, stretched
    QLabel* Image2 = nullptr; // hidden: the background picture in use
    QSpinBox* spedtT = nullptr;
    QSpinBox* spedtConOpenSpeed = nullptr;
    QSpinBox* seConsPosX = nullptr;
    QSpinBox* seConsPosY = nullptr;
    QPushButton* btnFont = nullptr;
    QPushButton* btnConsoleBMP = nullptr;
    QPushButton* btnTextColor = nullptr;
    QPushButton* btnHighLightColor = nullptr;
    QPushButton* btnTextMarkColor = nullptr;
    QCheckBox* cbxEscRefresh = nullptr;
    QCheckBox* cbxAASafe = nullptr;
    QCheckBox* cbWideConsole = nullptr;
    QCheckBox* cbDisplayTime = nullptr;
    QCheckBox* cbHeadLights = nullptr; // hidden; "//hl" toggles it
    QCheckBox* cbDebug = nullptr;

private:
    QSpinBox* addSpin(const char* name, const char* hint, int* value);
    QPushButton* addButton(const char* name, const char* caption, const char* hint);
    QCheckBox* addCheckBox(const char* name, const char* caption, CheckOption& option);
    void btnFontClick();
    void btnConsoleBMPClick();
    void ColorBtnSelect(QPushButton* button);

    ConsoleAppearance& appearance_;
    std::string appDir_;
    qint64 shownBackground_ = 0; // the background picture Image2 shows
};

} // namespace trelk
