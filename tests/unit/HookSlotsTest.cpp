// The slot lists beside the hooks structs: what makes a forgotten slot stop the build, and the
// names the composition root reports for the slots it leaves unset.

#include "core/HookSlots.h"

#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {

struct ProbeHooks {
    std::function<void()> first{};
    std::function<bool(int)> second{};
    std::vector<int>* rows = nullptr;
    std::function<void(const std::string&)> last{};
};
template <> struct HookSlotList<ProbeHooks> {
    using S = ProbeHooks;
    static constexpr const char* Name = "ProbeHooks";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, first), TRELK_HOOK_SLOT(S, second),
                                      TRELK_HOOK_SLOT(S, rows), TRELK_HOOK_SLOT(S, last)};
};

// A slot added to the struct but not to its list.
struct ForgottenSlot {
    std::function<void()> listed{};
    std::function<void()> added{};
};
template <> struct HookSlotList<ForgottenSlot> {
    using S = ForgottenSlot;
    static constexpr const char* Name = "ForgottenSlot";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, listed)};
};

// The count is right, but one slot is listed twice and another not at all.
struct ListedTwice {
    std::function<void()> a{};
    std::function<void()> b{};
};
template <> struct HookSlotList<ListedTwice> {
    using S = ListedTwice;
    static constexpr const char* Name = "ListedTwice";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, a), TRELK_HOOK_SLOT(S, a)};
};

static_assert(ListsEverySlot<ProbeHooks>());
static_assert(!ListsEverySlot<ForgottenSlot>());
static_assert(!ListsEverySlot<ListedTwice>());

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(HookSlotsTest, UnsetSlotsAreNamedInTheStructsOrderAfterWhatCameBefore) {
    std::vector<int> table;
    std::vector<std::string> unset = {"Earlier.slot"};
    AppendUnsetSlots(unset, ProbeHooks{.second = [](int) { return true; }});
    EXPECT_THAT(unset, ElementsAre("Earlier.slot", "ProbeHooks.first", "ProbeHooks.rows",
                                   "ProbeHooks.last"));

    unset.clear();
    AppendUnsetSlots(unset, ProbeHooks{.first = [] {},
                                       .second = [](int) { return false; },
                                       .rows = &table,
                                       .last = [](const std::string&) {}});
    EXPECT_THAT(unset, IsEmpty());
}

} // namespace
} // namespace trelk
