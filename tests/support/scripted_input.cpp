#include "support/scripted_input.h"

namespace tramvek {

void ScriptedInput::clear() {
    script_.clear();
    current_ = {};
    restingButtons_ = 0;
    pollCount_ = 0;
}

MouseButtons ScriptedInput::pollButtons() {
    ++pollCount_;
    if (script_.empty()) {
        current_.buttons = restingButtons_;
    } else {
        current_ = script_.front();
        script_.pop_front();
    }
    return current_.buttons;
}

}  // namespace tramvek
