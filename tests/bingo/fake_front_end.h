// A front end for the controller's tests that answers every question from a script and
// fails the test on a question it was not told to expect.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "bingo/controller.h"
#include "disk/file_system.h"
#include "runs/card_run.h"

// Answers: "sí" or "no" to a question, a text to a line asked, "<cancelar>" for a text
// cancelled, "<ofrecido>" for the text the controller offered.
struct FakeFrontEnd : BingoFrontEnd {
  std::deque<std::string> answers;
  std::vector<std::string> asked, warned;
  std::string list_to_choose, record_file;
  std::function<bool(CardRunRequest*)> form = [](CardRunRequest*) { return false; };
  std::function<void()> during_run = [] {};
  std::vector<std::string> opened;

  std::string Next(const std::string& question) {
    asked.push_back(question);
    if (answers.empty()) {
      ADD_FAILURE() << "una pregunta que no se esperaba: " << question;
      return "no";
    }
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
  }
  bool Ask(const std::string& question, bool) override { return Next(question) == "sí"; }
  bool AskText(const std::string& question, const std::string& initial,
               std::string* answer) override {
    const std::string given = Next(question + " [" + initial + "]");
    if (given == "<cancelar>") return false;
    *answer = given == "<ofrecido>" ? initial : given;
    return true;
  }
  void Warn(const std::string& text) override { warned.push_back(text); }
  std::string ChooseList() override { return list_to_choose; }
  std::string ChooseRecordFile(const std::string&, const std::string&) override {
    return record_file;
  }
  bool FillRunForm(CardRunRequest* request) override { return form(request); }
  std::vector<std::string> MakeRun(const CardRunRequest& request) override {
    during_run();
    std::vector<std::string> said;
    CardRunHooks hooks;
    hooks.context = &said;
    hooks.say = [](void* context, bool, const std::string& text) {
      static_cast<std::vector<std::string>*>(context)->push_back(text);
    };
    MakeFolder(request.out);
    MakeCardRun(request, hooks);
    return said;
  }
  void OpenFile(const std::string& path) override { opened.push_back(path); }
  std::string Speak(int) override { return ""; }
};

// The controller on `folder` with the test's clock and front end, opened as a window is.
inline void OpenController(BingoController* controller, FakeFrontEnd* fake,
                           const std::string& folder, int64_t (*clock)()) {
  controller->now = clock;
  InitBingo(controller, fake, folder);
  ASSERT_EQ(BingoOpen(controller), "");
}
