#include "ConsoleTab.h"

#include "OptionCheckBox.h"
#include "QtText.h"
#include "TabOrder.h"
#include "console/ConsoleAppearance.h"
#include "console/ConsoleRenderer.h"
#include "core/CheckOption.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

namespace trelk {

namespace {

constexpr int SwatchSize = 12;

QIcon Swatch(std::uint32_t bgr) {
    QPixmap pixmap(SwatchSize, SwatchSize);
    pixmap.fill(ConsoleRenderer::ToColor(bgr));
    return QIcon(pixmap);
}

std::uint32_t ToBgr(const QColor& colour) {
    return static_cast<std::uint32_t>(colour.red()) |
           (static_cast<std::uint32_t>(colour.green()) << 8) |
           (static_cast<std::uint32_t>(colour.blue()) << 16);
}

ConsoleAppearance::Colour ColourOfButton(const QPushButton* button) {
    const QString name = button->objectName();
    if (name == "btnHighLightColor") {
        return ConsoleAppearance::Colour::HighLight;
    }
    if (name == "btnTextMarkColor") {
        return ConsoleAppearance::Colour::Marker;
    }
    return ConsoleAppearance::Colour::Text;
}

} // namespace

ConsoleTab::ConsoleTab(ConsoleAppearance& appearance, CheckOption& debug, std::string appDir,
                       QWidget* parent)
    : QWidget(parent), appearance_(appearance), appDir_(std::move(appDir)) {
    setObjectName("ConsoleTab");
    runFontDialog = [this](const QFont& current) -> std::optional<QFont> {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, current, this, "Console Font");
        return ok ? std::optional<QFont>(font) : std::nullopt;
    };
    runColorDialog = [this](const QColor& current) -> std::optional<QColor> {
        const QColor colour = QColorDialog::getColor(current, this);
        return colour.isValid() ? std::optional<QColor>(colour) : std::nullopt;
    };
    runFileDialog = [this](const QString& folder, const QString& current) {
        QFileDialog dialog(this, "Console BMP", folder, "BMP (256colors @ 256x256 pixels) (*.bmp)");
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (!current.isEmpty()) {
            dialog.selectFile(current);
        }
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().front()
                   : QString();
    };

    ConsoleOptions& options = appearance_.Options();
    ConsoleSettings& values = options.Values;

    Image1 = new QLabel(this);
    Image1->setObjectName("Image1");
    Image1->setScaledContents(true);
    Image1->setMinimumSize(256, 128);
    Image1->setMaximumSize(512, 256);
    Image1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    Image1->setStyleSheet("background: black;");
    Image2 = new QLabel(this);
    Image2->setObjectName("Image2");
    Image2->setToolTip("This sii a copy of the image displayed In-Game");
    Image2->hide();

    btnFont = addButton("btnFont", "Font", "Select Console Font");
    btnConsoleBMP =
        addButton("btnConsoleBMP", "Console BMP", "Change the Console background BMP graphics");
    btnTextColor = addButton("btnTextColor", "Text Color", "");
    btnHighLightColor = addButton("btnHighLightColor", "HighLight Color", "");
    btnTextMarkColor = addButton("btnTextMarkColor", "TextMark Color", "");

    spedtT = addSpin("spedtT", "Set In-Flight Console Transparency (255 = NonTransparent)",
                     &values.BMPTransperancy);
    spedtConOpenSpeed =
        addSpin("spedtConOpenSpeed", "Console Open Effect Speed (0=Fastest, 255 = Slowest)",
                &values.ConOpenSpeed);
    // 255ths of the room the console leaves on the screen: 0 and 255 are the two edges.
    seConsPosX = addSpin("seConsPosX",
                         "Console Horizontal Screen Position (0 = Left Edge, 255 = Right Edge)",
                         &values.PositionX);
    seConsPosY =
        addSpin("seConsPosY", "Console Vertical Screen Position (0 = Top Edge, 255 = Bottom Edge)",
                &values.PositionY);

    cbxEscRefresh = addCheckBox("cbxEscRefresh", "Esc Refresh", options.EscRefresh);
    cbxAASafe = addCheckBox("cbxAASafe", "AntiAlias Safe", options.AASafe);
    cbxAASafe->setToolTip("Enable AniAliasing Safe Mode");
    cbWideConsole = addCheckBox("cbWideConsole", "Wide Console", options.WideConsole);
    cbDisplayTime = addCheckBox("cbDisplayTime", "Display Time", options.DisplayTime);
    cbDisplayTime->setToolTip("Turn On/Off In-Game Time Diplay");
    cbHeadLights = addCheckBox("cbHeadLights", "HeadLights", appearance_.HeadLights);
    cbHeadLights->setVisible(false);
    cbDebug = addCheckBox("cbDebug", "DebugOutput", debug);

    // Preview on the left, the picture's buttons beside it; values and options below.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* top = new QHBoxLayout;
    top->addWidget(Image1, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button :
         {btnFont, btnConsoleBMP, btnTextColor, btnHighLightColor, btnTextMarkColor}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    top->addLayout(buttons);
    layout->addLayout(top, 1);

    auto* bottom = new QGridLayout;
    bottom->setHorizontalSpacing(6);
    bottom->setVerticalSpacing(2);
    auto label = [this](const char* text, QWidget* buddy) {
        auto* caption = new QLabel(text, this);
        caption->setBuddy(buddy);
        return caption;
    };
    auto* opening = new QLabel("Opening\nEffect Spd", this);
    opening->setBuddy(spedtConOpenSpeed);
    bottom->addWidget(label("Opacity", spedtT), 0, 0);
    bottom->addWidget(spedtT, 0, 1);
    bottom->addWidget(opening, 0, 2);
    bottom->addWidget(spedtConOpenSpeed, 0, 3);
    bottom->addWidget(label("Horiz\n0=Left", seConsPosX), 0, 4);
    bottom->addWidget(seConsPosX, 0, 5);
    bottom->addWidget(label("Vert\n0=Top", seConsPosY), 0, 6);
    bottom->addWidget(seConsPosY, 0, 7);
    bottom->addWidget(cbxEscRefresh, 1, 0, 1, 2);
    bottom->addWidget(cbxAASafe, 1, 2, 1, 2);
    bottom->addWidget(cbWideConsole, 1, 4, 1, 2);
    bottom->addWidget(cbDisplayTime, 1, 6, 1, 2);
    bottom->addWidget(cbDebug, 1, 8);
    bottom->addWidget(cbHeadLights, 1, 9);
    bottom->setColumnStretch(9, 1);
    layout->addLayout(bottom);
    // The buttons beside the preview, then the rows below it, left to right.
    ChainTabOrder(this,
                  {"btnFont", "btnConsoleBMP", "btnTextColor", "btnHighLightColor",
                   "btnTextMarkColor", "spedtT", "spedtConOpenSpeed", "seConsPosX", "seConsPosY",
                   "cbxEscRefresh", "cbxAASafe", "cbWideConsole", "cbDisplayTime", "cbDebug"});

    connect(btnFont, &QPushButton::clicked, this, [this] { btnFontClick(); });
    connect(btnConsoleBMP, &QPushButton::clicked, this, [this] { btnConsoleBMPClick(); });
    for (QPushButton* button : {btnTextColor, btnHighLightColor, btnTextMarkColor}) {
        connect(button, &QPushButton::clicked, this, [this, button] { ColorBtnSelect(button); });
    }

    // The appearance may outlive the tab.
    QPointer<ConsoleTab> self(this);
    appearance_.addView([self] {
        if (self) {
            self->refresh();
        }
    });
    appearance_.addPreviewView([self](const QImage& picture) {
        if (self) {
            self->showPreview(picture);
        }
    });
    refresh();
}

QSpinBox* ConsoleTab::addSpin(const char* name, const char* hint, int* value) {
    auto* spin = new QSpinBox(this);
    spin->setObjectName(name);
    spin->setToolTip(hint);
    // The library takes bytes: the controls keep the values in range.
    spin->setRange(0, 255);
    connect(spin, &QSpinBox::valueChanged, this, [value](int v) { *value = v; });
    return spin;
}

QPushButton* ConsoleTab::addButton(const char* name, const char* caption, const char* hint) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    if (*hint != '\0') {
        button->setToolTip(hint);
    }
    return button;
}

QCheckBox* ConsoleTab::addCheckBox(const char* name, const char* caption, CheckOption& option) {
    return BoundCheckBox(name, caption, option, this);
}

void ConsoleTab::refresh() {
    const ConsoleSettings& values = appearance_.Options().Values;
    const std::pair<QSpinBox*, int> spins[] = {{spedtT, values.BMPTransperancy},
                                               {spedtConOpenSpeed, values.ConOpenSpeed},
                                               {seConsPosX, values.PositionX},
                                               {seConsPosY, values.PositionY}};
    for (const auto& [spin, value] : spins) {
        const QSignalBlocker quiet(spin);
        spin->setValue(value);
    }
    btnTextColor->setIcon(Swatch(appearance_.ColourOf(ConsoleAppearance::Colour::Text)));
    btnHighLightColor->setIcon(Swatch(appearance_.ColourOf(ConsoleAppearance::Colour::HighLight)));
    btnTextMarkColor->setIcon(Swatch(appearance_.ColourOf(ConsoleAppearance::Colour::Marker)));
    cbDisplayTime->setEnabled(appearance_.DisplayTimeEnabled());
}

void ConsoleTab::showPreview(const QImage& picture) {
    Image1->setPixmap(QPixmap::fromImage(picture));
    const QImage& background = appearance_.Background();
    if (background.cacheKey() != shownBackground_) {
        shownBackground_ = background.cacheKey();
        Image2->setPixmap(QPixmap::fromImage(background));
    }
}

void ConsoleTab::btnFontClick() {
    // The dialog has no Apply button here: the preview follows at the next redraw.
    const ConsoleSettings& values = appearance_.Options().Values;
    QFont current(toQt(values.Font));
    current.setPointSize(std::max(1, values.FontSize));
    std::optional<ConsoleAppearance::Font> chosen;
    if (const std::optional<QFont> font = runFontDialog(current)) {
        const int size = font->pointSize() > 0 ? font->pointSize() : values.FontSize;
        chosen = ConsoleAppearance::Font{fromQt(font->family()), size};
    }
    appearance_.ApplyFontDialog(chosen);
}

void ConsoleTab::btnConsoleBMPClick() {
    const QString file = runFileDialog(QFile::decodeName(appDir_.c_str()),
                                       QFile::decodeName(appearance_.ConsoleBitmapPath().c_str()));
    if (!file.isEmpty()) {
        // The stored path must open the file again: keep the file system's bytes.
        appearance_.ChangeBackgroundFile(QFile::encodeName(file).toStdString());
    }
}

void ConsoleTab::ColorBtnSelect(QPushButton* button) {
    const ConsoleAppearance::Colour which = ColourOfButton(button);
    if (const std::optional<QColor> colour =
            runColorDialog(ConsoleRenderer::ToColor(appearance_.ColourOf(which)))) {
        appearance_.ChangeColour(which, ToBgr(*colour));
    }
}

} // namespace trelk
