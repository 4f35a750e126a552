#include "KeyMapTab.h"

#include "QtText.h"
#include "keyboard/KeyMap.h"
#include "platform/ports/VirtualKeys.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QVBoxLayout>
#include <functional>

namespace trelk {

namespace {

constexpr int PanelWidth = 110;
constexpr int PanelHeight = 22;
constexpr std::uint32_t ExtendedFlag = 1U << 24;
constexpr std::uint32_t ReleasedFlags = 3U << 30;

// A sunken panel that reports a click (press and release inside it).
class KeyMapPanel final : public QLabel {
public:
    KeyMapPanel(const char* name, std::function<void()> onClick, QWidget* parent)
        : QLabel(parent), onClick_(std::move(onClick)) {
        setObjectName(name);
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setAlignment(Qt::AlignCenter);
        setFixedSize(PanelWidth, PanelHeight);
        setAutoFillBackground(true);
        setFocusPolicy(Qt::ClickFocus);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            onClick_();
        }
    }

private:
    std::function<void()> onClick_;
};

// Whether a key event comes from a key that Windows marks as extended: the navigation block
// (not its keypad twins), keypad Enter and '/', the right-hand Ctrl and Alt, and a few more.
bool IsExtended(const QKeyEvent& event) {
    const bool keypad = event.modifiers().testFlag(Qt::KeypadModifier);
    switch (event.key()) {
    case Qt::Key_Insert:
    case Qt::Key_Delete:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return !keypad;
    case Qt::Key_Enter:
    case Qt::Key_NumLock:
    case Qt::Key_Print:
    case Qt::Key_Menu:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    case Qt::Key_Slash:
        return keypad;
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
        // X keycodes of the right-hand keys under the evdev rules every current X server uses.
        return event.nativeScanCode() == 105 || event.nativeScanCode() == 108;
    default:
        return false;
    }
}

class KeyMessageFilter final : public QObject {
public:
    explicit KeyMessageFilter(KeyMap& keyMap) : keyMap_(keyMap) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto& key = static_cast<const QKeyEvent&>(*event);
            // Only Pause is told apart by its key; the flags carry the extended bit.
            const int virtualKey = key.key() == Qt::Key_Pause ? Vk::Pause : 0;
            std::uint32_t flags = IsExtended(key) ? ExtendedFlag : 0;
            if (event->type() == QEvent::KeyRelease) {
                flags |= ReleasedFlags;
            }
            keyMap_.FilterKeyMessage(virtualKey, flags);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    KeyMap& keyMap_;
};

} // namespace

KeyMapTab::KeyMapTab(KeyMap& keyMap, QWidget* parent) : QWidget(parent), keyMap_(keyMap) {
    setObjectName("KeyMapTab");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 8, 12, 8);

    lblKeyMapping = new QLabel(this);
    lblKeyMapping->setObjectName("lblKeyMapping");
    QFont hintFont = lblKeyMapping->font();
    hintFont.setBold(true);
    lblKeyMapping->setFont(hintFont);
    layout->addWidget(lblKeyMapping);

    auto* columns = new QHBoxLayout;
    layout->addLayout(columns, 1);

    auto makePanel = [this](std::size_t index, QWidget* parentWidget) {
        auto* panel = new KeyMapPanel(
            KeyMapEntries[index].panel, [this, index] { pnlKMDisplayClick(index); }, parentWidget);
        panels[index] = panel;
        return panel;
    };

    // The nine functions, one row each.
    auto* functions = new QGridLayout;
    functions->setVerticalSpacing(3);
    for (std::size_t i = 0; i < kFirstMacroHotKey; ++i) {
        const KeyMapEntry& entry = KeyMapEntries[i];
        QString text = entry.label;
        if (entry.subLabel[0] != '\0') {
            text += QStringLiteral("\n") + entry.subLabel;
        }
        auto* label = new QLabel(text, this);
        const int row = static_cast<int>(i);
        functions->addWidget(label, row, 0);
        functions->addWidget(makePanel(i, this), row, 1);
    }
    functions->setRowStretch(static_cast<int>(kFirstMacroHotKey), 1);
    columns->addLayout(functions);
    columns->addSpacing(16);

    // The twelve macro hot keys, in two columns.
    auto* hotKeys = new QGroupBox("Hot Keys For INDIVIDUAL Trelk Macros", this);
    hotKeys->setObjectName("gbMacroHotKeys");
    auto* grid = new QGridLayout(hotKeys);
    grid->setVerticalSpacing(3);
    for (std::size_t i = kFirstMacroHotKey; i < kKeyMapSize; ++i) {
        const auto n = static_cast<int>(i - kFirstMacroHotKey);
        const int row = n % 6;
        const int column = (n / 6) * 2;
        grid->addWidget(new QLabel(KeyMapEntries[i].label, hotKeys), row, column, Qt::AlignRight);
        grid->addWidget(makePanel(i, hotKeys), row, column + 1);
    }
    columns->addWidget(hotKeys, 0, Qt::AlignTop);
    columns->addStretch(1);

    // The view follows the key map, also while a capture processes messages.
    QPointer<KeyMapTab> self(this);
    keyMap_.addView([self] {
        if (self) {
            self->refresh();
        }
    });
    refresh();
}

// The key map may already be gone (the program is torn down before its window): touch
// nothing of it here. Its change handler holds only a guarded pointer to this view.
KeyMapTab::~KeyMapTab() {
    removeMessageFilter();
}

void KeyMapTab::installMessageFilter() {
    if (messageFilter_ || QCoreApplication::instance() == nullptr) {
        return;
    }
    messageFilter_ = std::make_unique<KeyMessageFilter>(keyMap_);
    QCoreApplication::instance()->installEventFilter(messageFilter_.get());
}

void KeyMapTab::removeMessageFilter() {
    if (messageFilter_ && QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(messageFilter_.get());
    }
    messageFilter_.reset();
}

void KeyMapTab::refresh() {
    lblKeyMapping->setText(toQt(keyMap_.lblKeyMapping()));
    for (std::size_t i = 0; i < kKeyMapSize; ++i) {
        QLabel* panel = panels[i];
        panel->setText(toQt(keyMap_.Caption(i)));
        const bool capturing = keyMap_.CapturingIndex() == static_cast<int>(i);
        panel->setBackgroundRole(capturing ? QPalette::Highlight : QPalette::Button);
        panel->setForegroundRole(capturing ? QPalette::HighlightedText : QPalette::ButtonText);
    }
}

void KeyMapTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    keyMap_.SetKeyMapTabActive(true);
}

void KeyMapTab::hideEvent(QHideEvent* event) {
    keyMap_.SetKeyMapTabActive(false);
    QWidget::hideEvent(event);
}

void KeyMapTab::pnlKMDisplayClick(std::size_t index) {
    QPointer<KeyMapTab> self(this);
    panels[index]->setFocus();
    keyMap_.pnlKMDisplayClick(index);
    // The window may have closed while the capture processed messages.
    if (self) {
        setFocus();
    }
}

} // namespace trelk
