#pragma once

#include "platform/ports/MainWindow.h"

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace trelk {

// Records what the core asked of the main window.
class SimMainWindow final : public MainWindow {
public:
    void showNormalAndActivate() override { visible_ = true; }
    void hideWindow() override { visible_ = false; }
    bool isWindowVisible() const override { return visible_; }
    bool ownWindowActive() const override { return ownWindowActive_; }
    void setCaption(const std::string& caption) override { caption_ = caption; }
    void setTrayHint(const std::string& hint) override { trayHint_ = hint; }
    void setStatusText(int panel, const std::string& text) override {
        if (panel == 0 || panel == 1) {
            status_[static_cast<std::size_t>(panel)] = text;
        }
    }
    void setActiveTab(const std::string& tabSheetName) override { activeTab_ = tabSheetName; }
    void installKeyMapMessageFilter() override { keyMapFilterInstalled_ = true; }
    void removeKeyMapMessageFilter() override { keyMapFilterInstalled_ = false; }
    void refreshKeyMapPanels() override { ++keyMapPanelRefreshes_; }
    void flashWindow() override { ++flashes_; }
    void showDatabaseDialog() override {
        databaseDialogShown_ = true;
        ++databaseDialogShows_;
    }
    void closeDatabaseDialog() override { databaseDialogShown_ = false; }
    void destroyWindow() override { destroyed_ = true; }
    std::uint32_t windowHandle() const override { return handle_; }
    void setHookMessageHandler(HookMessageHandler handler) override {
        hookHandler_ = std::move(handler);
    }

    // The sim hook delivers its messages here, as the window system would.
    void deliverHookMessage(std::uint32_t virtualKey, std::uint32_t flags) {
        if (hookHandler_) {
            hookHandler_(virtualKey, flags);
        }
    }
    void setWindowHandle(std::uint32_t handle) { handle_ = handle; }

    const std::string& caption() const { return caption_; }
    const std::string& trayHint() const { return trayHint_; }
    const std::string& statusText(int panel) const {
        return status_[static_cast<std::size_t>(panel)];
    }
    const std::string& activeTab() const { return activeTab_; }
    bool destroyed() const { return destroyed_; }
    bool keyMapFilterInstalled() const { return keyMapFilterInstalled_; }
    int keyMapPanelRefreshes() const { return keyMapPanelRefreshes_; }
    int flashes() const { return flashes_; }
    bool databaseDialogShown() const { return databaseDialogShown_; }
    int databaseDialogShows() const { return databaseDialogShows_; }
    void setVisible(bool visible) { visible_ = visible; }
    // The game has the focus unless a test says the pilot works in TrelkPro's window.
    void setOwnWindowActive(bool active) { ownWindowActive_ = active; }

private:
    bool visible_ = true;
    bool ownWindowActive_ = false;
    bool destroyed_ = false;
    bool keyMapFilterInstalled_ = false;
    int keyMapPanelRefreshes_ = 0;
    int flashes_ = 0;
    bool databaseDialogShown_ = false;
    int databaseDialogShows_ = 0;
    std::string caption_;
    std::string trayHint_;
    std::array<std::string, 2> status_;
    std::string activeTab_;
    std::uint32_t handle_ = 0x0400000E;
    HookMessageHandler hookHandler_;
};

// Answers questions from a queue the test fills; an unexpected question is answered Yes and
// recorded, so a test can see that it was asked.
class SimPrompts final : public Prompts {
public:
    bool confirm(const std::string& text) override {
        questions_.push_back(text);
        runWhileShown();
        if (answers_.empty()) {
            return true;
        }
        const bool answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    void showError(const std::string& text) override {
        errors_.push_back(text);
        runWhileShown();
    }

    // Answered with the next chosen file of the queue; cancelled when the queue is empty.
    std::optional<std::string> chooseFileToOpen(const FileChoice& choice) override {
        fileChoices_.push_back(choice);
        runWhileShown();
        if (chosenFiles_.empty()) {
            return std::nullopt;
        }
        std::optional<std::string> chosen = std::move(chosenFiles_.front());
        chosenFiles_.pop_front();
        return chosen;
    }

    void setNextAnswer(bool yes) { answers_.push_back(yes); }
    // What the next file dialog answers: a path, or nullopt for Cancel.
    void setNextChosenFile(std::optional<std::string> path) {
        chosenFiles_.push_back(std::move(path));
    }
    const std::vector<FileChoice>& fileChoices() const { return fileChoices_; }
    // Runs inside the next box, as what the event loop delivers while a modal box is open
    // (a signal, a timer).
    void setWhileNextShown(std::function<void()> action) { whileShown_ = std::move(action); }
    const std::vector<std::string>& questions() const { return questions_; }
    const std::vector<std::string>& errors() const { return errors_; }

private:
    void runWhileShown() {
        if (std::function<void()> action = std::exchange(whileShown_, {})) {
            action();
        }
    }

    std::function<void()> whileShown_;
    std::deque<bool> answers_;
    std::deque<std::optional<std::string>> chosenFiles_;
    std::vector<FileChoice> fileChoices_;
    std::vector<std::string> questions_;
    std::vector<std::string> errors_;
};

} // namespace trelk
