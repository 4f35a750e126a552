#pragma once

// The slots of a hooks struct by name (no identifier here is called "slots": Qt defines it as a
// macro). Beside each hooks struct stands its list:
//
//   template <> struct HookSlotList<StationDetection::Hooks> {
//       using S = StationDetection::Hooks;
//       static constexpr const char* Name = "StationDetection::Hooks";
//       static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, addLogLine), ...};
//   };
//   static_assert(ListsEverySlot<StationDetection::Hooks>());
//
// so the composition root can name every slot it leaves unset, and a slot added to a struct
// but not to its list stops the build. Each slot is declared with {} so that designated
// initialisers may leave out the ones whose subsystem is not built yet; the list names them.

#include <cstddef>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace trelk {

template <typename Hooks, typename Member> struct HookSlot {
    const char* name;
    Member Hooks::*member;
};
template <typename Hooks, typename Member>
HookSlot(const char*, Member Hooks::*) -> HookSlot<Hooks, Member>;

// The name comes from the member itself, so the two cannot disagree.
#define TRELK_HOOK_SLOT(Hooks, slot)                                                               \
    ::trelk::HookSlot {                                                                            \
#slot, &Hooks::slot                                                                        \
    }

// Specialised beside each hooks struct: Name and the tuple Slots.
template <typename Hooks> struct HookSlotList;

namespace detail {

// Converts to any member type; used only where nothing is evaluated.
struct AnyMember {
    template <typename T> operator T() const;
};

// The number of members of an aggregate: the longest brace list it can be made from.
template <typename T, typename... Filled> consteval std::size_t MemberCount() {
    if constexpr (requires { T{Filled{}..., AnyMember{}}; }) {
        return MemberCount<T, Filled..., AnyMember>();
    } else {
        return sizeof...(Filled);
    }
}

template <typename Tuple, std::size_t... I>
consteval bool NamesDistinct(const Tuple& list, std::index_sequence<I...>) {
    const std::string_view names[] = {std::get<I>(list).name...};
    for (std::size_t i = 0; i < sizeof...(I); ++i) {
        for (std::size_t j = i + 1; j < sizeof...(I); ++j) {
            if (names[i] == names[j]) {
                return false;
            }
        }
    }
    return true;
}

} // namespace detail

// Every member of the struct is in its list exactly once.
template <typename Hooks> consteval bool ListsEverySlot() {
    constexpr auto& list = HookSlotList<Hooks>::Slots;
    constexpr std::size_t listed = std::tuple_size_v<std::remove_cvref_t<decltype(list)>>;
    return listed == detail::MemberCount<Hooks>() &&
           detail::NamesDistinct(list, std::make_index_sequence<listed>());
}

// Appends "Name.slot" for every slot of hooks that is not filled, in the struct's order.
template <typename Hooks>
void AppendUnsetSlots(std::vector<std::string>& unset, const Hooks& hooks) {
    static_assert(ListsEverySlot<Hooks>(), "a slot of this struct is missing from its list");
    std::apply(
        [&](const auto&... slot) {
            ((static_cast<bool>(hooks.*(slot.member))
                  ? void()
                  : unset.push_back(std::string(HookSlotList<Hooks>::Name) + "." + slot.name)),
             ...);
        },
        HookSlotList<Hooks>::Slots);
}

} // namespace trelk
