#pragma once

#include "core/SettingsValues.h"

#include <QLabel>
#include <QWidget>
#include <array>
#include <memory>

namespace trelk {

class KeyMap;

// The widgets of the "KeyMap" tab: one panel per key-map entry showing its key's name, and the
// hint above them. A click on a panel runs the key map's capture. While the tab is on screen
// the key map knows it is the active page; leaving it ends a capture.
class KeyMapTab final : public QWidget {
public:
    explicit KeyMapTab(KeyMap& keyMap, QWidget* parent = nullptr);
    ~KeyMapTab() override;

    // The application-wide filter that shows the key map the program's own key messages
    // (Pause and the extended flag, which the keyboard state does not carry).
    void installMessageFilter();
    void removeMessageFilter();

    // Captions, hint and highlight from the key map's state.
    void refresh();

    QLabel* lblKeyMapping = nullptr;
    std::array<QLabel*, kKeyMapSize> panels{};

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void pnlKMDisplayClick(std::size_t index);

    KeyMap& keyMap_;
    std::unique_ptr<QObject> messageFilter_;
};

} // namespace trelk
