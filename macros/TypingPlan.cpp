#include "TypingPlan.h"

#include "platform/ports/VirtualKeys.h"

#include <algorithm>

namespace trelk {

namespace {

// The largest number of groups a layout can have (four on the platforms we know).
constexpr int MaxGroups = 4;
// Any key of its own costs less than any dead key sequence.
constexpr int SequenceCost = 100;

bool OnKeypad(const KeyStroke& stroke) {
    return stroke.virtualKey >= Vk::Numpad0 && stroke.virtualKey <= Vk::Divide;
}

int StrokeCost(const KeyStroke& stroke) {
    return (stroke.shift ? 1 : 0) + (stroke.altGr ? 2 : 0) + (OnKeypad(stroke) ? 4 : 0);
}

// After the dead key: a blank, the dead key again, then anything else.
int FollowerCost(const KeyboardLayout::DeadKeySequence& sequence) {
    if (sequence.next.virtualKey == Vk::Space && !sequence.next.shift && !sequence.next.altGr) {
        return 0;
    }
    return sequence.next == sequence.deadKey ? 10 : 20;
}

} // namespace

TypingPlan::TypingPlan(const KeyboardLayout& layout)
    : byGroup_(static_cast<std::size_t>(std::clamp(layout.groupCount, 1, MaxGroups))) {
    for (const KeyboardLayout::Character& entry : layout.characters) {
        Way way;
        way.strokes.keys[0] = entry.stroke;
        way.strokes.count = 1;
        way.cost = StrokeCost(entry.stroke);
        offer(entry.character, way, entry.stroke.group);
    }
    for (const KeyboardLayout::DeadKeySequence& sequence : layout.deadKeySequences) {
        // Both keys are read in one group: the sequence must not span a group change.
        if (sequence.deadKey.group != sequence.next.group) {
            continue;
        }
        Way way;
        way.strokes.keys = {sequence.deadKey, sequence.next};
        way.strokes.count = 2;
        way.cost = SequenceCost + FollowerCost(sequence) + StrokeCost(sequence.deadKey) +
                   StrokeCost(sequence.next);
        offer(sequence.character, way, sequence.deadKey.group);
    }
}

void TypingPlan::offer(unsigned char character, const Way& way, int group) {
    if (character < 32 || character == 127 || group < 0 || group >= groupCount()) {
        return;
    }
    std::optional<Way>& slot = byGroup_[static_cast<std::size_t>(group)][character];
    // The first of equal ways stays: the layout lists its keys in their order.
    if (!slot || way.cost < slot->cost) {
        slot = way;
    }
}

const TypingPlan::Strokes* TypingPlan::direct(unsigned char character, int group) const {
    if (group < 0 || group >= groupCount()) {
        return nullptr;
    }
    const std::optional<Way>& way = byGroup_[static_cast<std::size_t>(group)][character];
    return way && way->cost < SequenceCost ? &way->strokes : nullptr;
}

const TypingPlan::Strokes* TypingPlan::composed(unsigned char character, int group) const {
    if (group < 0 || group >= groupCount()) {
        return nullptr;
    }
    const std::optional<Way>& way = byGroup_[static_cast<std::size_t>(group)][character];
    return way && way->cost >= SequenceCost ? &way->strokes : nullptr;
}

const TypingPlan::Strokes* TypingPlan::choose(unsigned char character, int groupInForce,
                                              int pilotGroup) const {
    for (const auto find : {&TypingPlan::direct, &TypingPlan::composed}) {
        if (const Strokes* strokes = (this->*find)(character, groupInForce)) {
            return strokes;
        }
        if (const Strokes* strokes = (this->*find)(character, pilotGroup)) {
            return strokes;
        }
        for (int group = 0; group < groupCount(); ++group) {
            if (const Strokes* strokes = (this->*find)(character, group)) {
                return strokes;
            }
        }
    }
    return nullptr;
}

} // namespace trelk
