// What a command needs from the person at the screen, as a small interface:
// the window implements it with message boxes and dialogs, tests with
// scripted answers, the command-line tool with stderr and fixed answers.
#pragma once

#include <string>

enum class MessageIcon { Information, Warning, Error, Question };
enum class Answer { Yes, No, Cancel };
enum class Buttons { Ok, YesNo, YesNoCancel };

class Feedback {
 public:
  virtual ~Feedback() = default;
  // A modal message; commands go on after it.
  virtual void ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon icon) = 0;
  // A question; only Yes proceeds.
  virtual Answer Ask(const std::u16string& text, const std::u16string& caption, Buttons buttons) = 0;
};
