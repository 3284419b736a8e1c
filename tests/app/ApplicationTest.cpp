#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "spl/app/Application.h"

namespace {

// Records the order of the steps and what each run's cursor held.
class RecordingApp : public spl::Application {
 public:
  void parseArguments(spl::CommandArgument& argument) override {
    steps += "parse ";
    cursor = &argument;
    first = argument.isEmpty() ? "" : argument.shiftString();
  }
  void initialize() override { steps += "initialize "; }
  void execute() override { steps += "execute "; }
  void finalize() override { steps += "finalize "; }

  std::string steps;
  std::string first;
  spl::CommandArgument* cursor = nullptr;
};

}  // namespace

TEST(Application, RunsTheStepsInOrderOverAFreshCursor) {
  RecordingApp app;
  EXPECT_EQ(app.getArgument(), nullptr);
  app.run({"one", "two"});
  EXPECT_EQ(app.steps, "parse initialize execute finalize ");
  EXPECT_EQ(app.first, "one");
  EXPECT_EQ(app.getArgument(), app.cursor);
  EXPECT_EQ(app.getArgument()->getRemaining(), 1);

  app.run({"three"});
  EXPECT_EQ(app.first, "three");
  EXPECT_EQ(app.getArgument(), app.cursor);
  EXPECT_TRUE(app.getArgument()->isEmpty());
}
