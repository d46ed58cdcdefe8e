// The user of the Active Desktop item, played by a test: questions are answered from a script,
// and everything said and asked is recorded with what the test's observer saw at that moment.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "output/desktop_item_prompts.h"

struct Prompted {
    std::string text;     // the message or question; kEnlargeHintShown for the hint
    std::string icon;     // "error", "information", "question" or "" for none
    std::string buttons;  // "OK" or "Yes No"
    std::string note;     // what the observer said
};

inline constexpr char kEnlargeHintShown[] = "(the hint on enlarging the item)";

class ScriptedPrompts : public DesktopItemPrompts {
  public:
    explicit ScriptedPrompts(std::function<std::string()> observe = nullptr) : observe_(std::move(observe)) {}

    // The answers to the next questions, in turn (true for Yes); any further question is
    // answered No. What was recorded before is forgotten.
    void Script(std::vector<bool> answers) {
        answers_ = std::move(answers);
        questions_ = 0;
        shown_.clear();
    }
    const std::vector<Prompted>& Shown() const { return shown_; }

    void Tell(const char* text, Icon icon) override { Record(text, icon, "OK"); }
    bool AskYesNo(const char* text, Icon icon) override {
        Record(text, icon, "Yes No");
        const std::size_t asked = questions_++;
        return asked < answers_.size() && answers_[asked];
    }
    void ShowEnlargeHint() override { Record(kEnlargeHintShown, Icon::kNone, "OK"); }

  private:
    void Record(const char* text, Icon icon, const char* buttons) {
        static constexpr const char* kIconNames[] = {"", "error", "information", "question"};
        shown_.push_back(
            {text, kIconNames[static_cast<int>(icon)], buttons, observe_ ? observe_() : std::string()});
    }

    std::function<std::string()> observe_;
    std::vector<bool> answers_;
    std::size_t questions_ = 0;
    std::vector<Prompted> shown_;
};
