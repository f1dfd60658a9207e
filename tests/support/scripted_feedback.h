// A Feedback for tests: answers questions from a queue and records every
// message and question it was shown, in order.
//
//   ScriptedFeedback fb;
//   fb.answers = {Answer::Yes, Answer::No};
//   RunCommand(doc, fb);
//   ASSERT_EQ(fb.shown.size(), 2u);
//   EXPECT_EQ(fb.shown[0].caption, u"Speichern");
//   EXPECT_TRUE(fb.AllAnswersUsed());
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "project/feedback.h"

class ScriptedFeedback : public Feedback {
 public:
  struct Shown {
    std::u16string text;
    std::u16string caption;
    bool question = false;                        // Ask (true) or ShowMessage (false)
    MessageIcon icon = MessageIcon::Information;  // ShowMessage only
    Buttons buttons = Buttons::Ok;                // Ask only
    Answer answer = Answer::Cancel;               // what Ask returned
  };

  // Answers for Ask, used front first.
  std::deque<Answer> answers;
  // What Ask returns once the queue is empty; each such question is also
  // counted in unscripted.
  Answer whenEmpty = Answer::Cancel;
  int unscripted = 0;

  std::vector<Shown> shown;

  void ShowMessage(const std::u16string& text, const std::u16string& caption, MessageIcon icon) override {
    Shown s;
    s.text = text;
    s.caption = caption;
    s.icon = icon;
    shown.push_back(s);
  }

  Answer Ask(const std::u16string& text, const std::u16string& caption, Buttons buttons) override {
    Shown s;
    s.text = text;
    s.caption = caption;
    s.question = true;
    s.buttons = buttons;
    if (answers.empty()) {
      ++unscripted;
      s.answer = whenEmpty;
    } else {
      s.answer = answers.front();
      answers.pop_front();
    }
    shown.push_back(s);
    return s.answer;
  }

  bool AllAnswersUsed() const { return answers.empty() && unscripted == 0; }
  int Questions() const {
    int n = 0;
    for (const Shown& s : shown) n += s.question ? 1 : 0;
    return n;
  }
  int Messages() const { return static_cast<int>(shown.size()) - Questions(); }
};
