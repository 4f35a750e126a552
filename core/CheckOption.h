#pragma once

#include <functional>
#include <vector>

namespace trelk {

// The state of a check box or checked menu item that the logic reads. The widget is a view of
// it: a click and a change from code run the same handler, once, only when the state changes.
class CheckOption {
public:
    explicit CheckOption(bool checked = false) : checked_(checked) {}

    bool checked() const { return checked_; }

    void setChecked(bool checked) {
        if (checked == checked_) {
            return;
        }
        checked_ = checked;
        for (const auto& view : views_) {
            view(checked_);
        }
        if (onClick_) {
            onClick_();
        }
    }
    void click() { setChecked(!checked_); }

    void setOnClick(std::function<void()> handler) { onClick_ = std::move(handler); }
    // A view that mirrors the state (a check box, a menu item).
    void addView(std::function<void(bool)> view) { views_.push_back(std::move(view)); }

private:
    bool checked_;
    std::function<void()> onClick_;
    std::vector<std::function<void(bool)>> views_;
};

} // namespace trelk
